// Starting a simulated serial device for a test, and talking to it.
#include "tests/firmware/serial_device.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr int kStartTimeoutMs = 5000;

int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

void SleepMs(int ms) {
  const timespec pause{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&pause, nullptr);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

SerialDevice::SerialDevice() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/pipstack-device-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
  path_ = dir_ + "/COM";
}

SerialDevice::~SerialDevice() {
  if (fd_ >= 0) close(fd_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    if (WaitForExit(2000) == -1) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

bool SerialDevice::Start(const std::string& program, const std::vector<std::string>& args) {
  if (dir_.empty()) return false;
  exitCode_ = -1;
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = dir_ + "/log";
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    return false;
  }
  const std::string expected = std::to_string(pid_) + "\n";
  return WaitUntil(kStartTimeoutMs, [&] { return ReadWholeFile(File(".pid")) == expected || WaitForExit(0) != -1; }) &&
         pid_ > 0;
}

int SerialDevice::WaitForExit(int timeoutMs) {
  if (pid_ <= 0) return exitCode_;
  int status = 0;
  const int64_t end = NowMs() + timeoutMs;
  for (;;) {
    const pid_t ended = waitpid(pid_, &status, WNOHANG);
    if (ended == pid_) {
      pid_ = -1;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exitCode_;
    }
    if (NowMs() >= end) return -1;
    SleepMs(5);
  }
}

std::string SerialDevice::Log() const { return ReadWholeFile(dir_ + "/log"); }

bool SerialDevice::Open() {
  if (fd_ >= 0) close(fd_);
  fd_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios mode{};
  if (fd_ < 0 || tcgetattr(fd_, &mode) != 0) return false;
  cfmakeraw(&mode);
  mode.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
  mode.c_cflag |= CS8 | CLOCAL | CREAD;
  cfsetspeed(&mode, B115200);
  // TCSANOW, not TCSAFLUSH: what the device sent before the port was opened
  // (its identity line at start) stays readable.
  return tcsetattr(fd_, TCSANOW, &mode) == 0;
}

bool SerialDevice::Send(const std::string& bytes) {
  return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string SerialDevice::ReadLine(int timeoutMs, bool* complete) {
  std::string line;
  const int64_t end = NowMs() + timeoutMs;
  for (;;) {
    char c;
    const ssize_t n = read(fd_, &c, 1);
    if (n == 1) {
      if (c == '\n') {
        *complete = true;
        return line;
      }
      line.push_back(c);
      continue;
    }
    const int64_t left = end - NowMs();
    if (left <= 0) break;
    pollfd in{fd_, POLLIN, 0};
    poll(&in, 1, static_cast<int>(left));
  }
  *complete = false;
  return line;
}

std::string SerialDevice::ReadFor(int timeoutMs) {
  std::string bytes;
  const int64_t end = NowMs() + timeoutMs;
  for (int64_t left = timeoutMs; left > 0; left = end - NowMs()) {
    pollfd in{fd_, POLLIN, 0};
    if (poll(&in, 1, static_cast<int>(left)) <= 0 || !(in.revents & POLLIN)) continue;
    char buffer[256];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n > 0) bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

bool SerialDevice::HungUp(int timeoutMs) {
  pollfd in{fd_, POLLIN, 0};
  return poll(&in, 1, timeoutMs) > 0 && (in.revents & POLLHUP);
}
