// Starting and stopping the Linux devices behind the session's serial ports,
// and reading what they saw. Wine starts a Unix program from CreateProcessA
// but hands back no handle that can wait for it or end it, hence the files.
#include "tests/e2e/serial_device.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "tools/ledview/board_journal.h"

namespace {

constexpr DWORD kDeviceStartMs = 10000;
constexpr DWORD kPollMs = 20;

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntil(bool wanted, const std::string& path, DWORD milliseconds) {
  for (const DWORD start = GetTickCount(); Exists(path) != wanted; Sleep(kPollMs)) {
    if (GetTickCount() - start > milliseconds) return false;
  }
  return true;
}

// The file as it stands; its writer may be appending meanwhile.
std::string ReadWhole(const std::string& path) {
  std::string text;
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

}  // namespace

int64_t UnixMilliseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FileTimeToUnixMs(static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
}

SerialDevice::SerialDevice(int32_t comPort)
    : unixPath_(std::string(PIPSTACK_WINE_STATE_DIR) + "/serial/line" + std::to_string(comPort)),
      path_(WindowsPath(unixPath_)) {}

SerialDevice::~SerialDevice() { Stop(); }

bool SerialDevice::Launch(const std::string& program, const std::string& arguments) {
  Stop();
  DeleteFileA((path_ + ".leds").c_str());
  DeleteFileA((path_ + ".received").c_str());
  std::string command = WindowsPath(program) + " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  return WaitUntil(true, path_ + ".pid", kDeviceStartMs);
}

bool SerialDevice::StartBoard() {
  return Launch(PIPSTACK_SIMBOARD, std::string(PIPSTACK_FIRMWARE_ELF) + " " + unixPath_);
}

bool SerialDevice::StartPeer(const std::string& answer) {
  return Launch(PIPSTACK_SERIAL_PEER, unixPath_ + (answer.empty() ? "" : " \"" + answer + "\""));
}

// A device runs while its pid file is there: Wine does not say whether the
// link to a pseudo-terminal exists.
bool SerialDevice::Stop() {
  if (!Exists(path_ + ".pid")) return true;
  HANDLE stop = CreateFileA((path_ + ".stop").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (stop != INVALID_HANDLE_VALUE) CloseHandle(stop);
  return WaitUntil(false, path_ + ".pid", kDeviceStartMs);
}

std::vector<LedChange> SerialDevice::Pins() const {
  std::vector<LedChange> changes;
  std::istringstream lines(ReadWhole(path_ + ".leds"));
  long long unixMs = 0;
  std::string hex;
  while (lines >> unixMs >> hex)
    changes.push_back(LedChange{unixMs, static_cast<int32_t>(std::strtol(hex.c_str(), nullptr, 16))});
  return changes;
}

bool SerialDevice::WaitForPins(int32_t byte, uint32_t milliseconds) const {
  for (const DWORD start = GetTickCount(); GetTickCount() - start <= milliseconds; Sleep(kPollMs)) {
    const std::vector<LedChange> changes = Pins();
    if (!changes.empty() && changes.back().byte == byte) return true;
  }
  return false;
}

std::string SerialDevice::Heard() const { return ReadWhole(path_ + ".received"); }
