// Pseudo-terminal, symlink, pid file and stop requests of a simulated device.
#include "emulation/board/pty_endpoint.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>
#include <sys/stat.h>

namespace {

std::string linkPath;
int master = -1;
int slave = -1;
volatile sig_atomic_t signalled = 0;

void OnEndSignal(int) { signalled = 1; }

std::string Failure(const char* what, const std::string& name) {
  return std::string(what) + (name.empty() ? "" : " " + name) + ": " + strerror(errno);
}

void CloseAll() {
  if (slave >= 0) close(slave);
  if (master >= 0) close(master);
  slave = master = -1;
}

bool OpenRawPty(std::string* error) {
  master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    *error = Failure("cannot make a pseudo-terminal", "");
    return false;
  }
  const char* name = ptsname(master);
  slave = name == nullptr ? -1 : open(name, O_RDWR | O_NOCTTY);
  termios mode{};
  if (slave < 0 || tcgetattr(slave, &mode) != 0) {
    *error = Failure("cannot open the pseudo-terminal's slave", name == nullptr ? "" : name);
    return false;
  }
  // No echo, no line editing, no CR/LF translation: a serial line's bytes.
  cfmakeraw(&mode);
  cfsetspeed(&mode, B115200);
  tcsetattr(slave, TCSANOW, &mode);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  return true;
}

// Written to a temporary name and renamed, so that a reader finds either
// nothing or the whole thing.
bool PlaceLink(const std::string& target, std::string* error) {
  const std::string temporary = linkPath + ".new";
  unlink(temporary.c_str());
  if (symlink(target.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), linkPath.c_str()) != 0) {
    *error = Failure("cannot make the link", linkPath);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool WritePidFile(std::string* error) {
  const std::string pidPath = linkPath + ".pid";
  const std::string temporary = pidPath + ".new";
  const std::string text = std::to_string(getpid()) + "\n";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const bool written = fd >= 0 && write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (fd >= 0) close(fd);
  if (!written || rename(temporary.c_str(), pidPath.c_str()) != 0) {
    *error = Failure("cannot write", pidPath);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

PtyEndpointStatus StartPtyEndpoint(const std::string& path, std::string* error) {
  linkPath = path;
  signalled = 0;
  // A stop request left by an earlier run is not meant for this one.
  unlink((path + ".stop").c_str());
  if (!OpenRawPty(error)) {
    CloseAll();
    return kPtyEndpointNoPty;
  }
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    *error = "will not replace " + path + ": it is not a symlink";
    CloseAll();
    return kPtyEndpointPathTaken;
  }
  if (!PlaceLink(ptsname(master), error)) {
    CloseAll();
    return kPtyEndpointLinkFailed;
  }
  if (!WritePidFile(error)) {
    unlink(path.c_str());
    CloseAll();
    return kPtyEndpointLinkFailed;
  }
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  return kPtyEndpointOk;
}

int PtyEndpointMaster() { return master; }

bool PtyEndpointEndRequested() {
  if (signalled) return true;
  const std::string stopPath = linkPath + ".stop";
  if (access(stopPath.c_str(), F_OK) != 0) return false;
  unlink(stopPath.c_str());
  return true;
}

void StopPtyEndpoint() {
  unlink(linkPath.c_str());
  unlink((linkPath + ".pid").c_str());
}
