// serial_peer: a serial device that is not ours (a modem, a GPS, a silent
// port) on a pty, for the tests of the program's serial side.
//
//   serial_peer PATH [ANSWER]
//
// PATH becomes a symlink to the pty; every byte received is appended,
// unchanged, to PATH.received; with ANSWER, every LF-ended line received is
// answered with ANSWER and an LF, without it nothing is ever sent. Pid file,
// stop file and signals as simboard's (emulation/board/pty_endpoint.h).
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "emulation/board/pty_endpoint.h"

namespace {

// How often it looks for the stop file.
constexpr int kStopCheckMs = 20;

[[noreturn]] void End(int code) {
  StopPtyEndpoint();
  _exit(code);
}

// Writes all of it, or gives up when the other side takes nothing.
void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EAGAIN) {
      pollfd out{fd, POLLOUT, 0};
      if (poll(&out, 1, kStopCheckMs) > 0) continue;
    }
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    fprintf(stderr, "usage: serial_peer PATH [ANSWER]\n");
    return 2;
  }
  const std::string path = argv[1];
  const bool answers = argc == 3;
  const std::string answer = answers ? std::string(argv[2]) + "\n" : std::string();

  const std::string receivedPath = path + ".received";
  const int received = open(receivedPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (received < 0) {
    fprintf(stderr, "serial_peer: cannot write %s: %s\n", receivedPath.c_str(), strerror(errno));
    return 1;
  }
  std::string error;
  if (StartPtyEndpoint(path, &error) != kPtyEndpointOk) {
    fprintf(stderr, "serial_peer: %s\n", error.c_str());
    return 1;
  }

  const int port = PtyEndpointMaster();
  for (;;) {
    if (PtyEndpointEndRequested()) End(0);
    pollfd in{port, POLLIN, 0};
    if (poll(&in, 1, kStopCheckMs) <= 0 || !(in.revents & POLLIN)) continue;
    char buffer[512];
    const ssize_t n = read(port, buffer, sizeof buffer);
    if (n <= 0) continue;
    WriteAll(received, std::string(buffer, static_cast<size_t>(n)));
    if (!answers) continue;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n') WriteAll(port, answer);
    }
  }
}
