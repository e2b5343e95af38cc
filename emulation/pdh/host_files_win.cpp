// Reading the host's /proc and /sys through Wine's Z: drive, where no Win32 call gives a figure.
#include "emulation/pdh/host_files.h"

#include <windows.h>

#include <array>

#include "core/scoped_win.h"

namespace {

// /proc and /sys files report a size of 0 or 4096 whatever they hold, so the
// file is read until the end rather than by its size.
constexpr DWORD kChunk = 4096;
constexpr size_t kMaxText = 1u << 20;

}  // namespace

bool ReadHostFile(const std::string& path, std::string& text) {
  text.clear();
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  std::array<char, kChunk> chunk;
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk.data(), kChunk, &got, nullptr) && got > 0) {
    text.append(chunk.data(), got);
    if (text.size() > kMaxText) return false;
  }
  return true;
}

std::vector<std::string> ListHostFolder(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  ScopedFind find(FindFirstFileA(pattern.c_str(), &found));
  if (!find.IsValid()) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find.Get(), &found));
  return names;
}

bool HostPathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
