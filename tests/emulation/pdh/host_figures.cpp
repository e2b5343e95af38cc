// The host's own figures, read by the tests straight from /proc to check the counters against.
#include "host_figures.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>

std::string HostFile(const std::string& path) {
  std::string text;
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

int64_t MeminfoKb(const char* field) {
  std::istringstream lines(HostFile("Z:\\proc\\meminfo"));
  std::string name;
  int64_t value = 0;
  std::string unit;
  while (lines >> name >> value) {
    std::getline(lines, unit);
    if (name == std::string(field) + ":") return value;
  }
  return -1;
}

double UptimeSeconds() { return std::atof(HostFile("Z:\\proc\\uptime").c_str()); }

namespace {

std::vector<std::string> ProcessEntries() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.cFileName[0] >= '1' && found.cFileName[0] <= '9') names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

}  // namespace

int64_t HostProcessCount() { return static_cast<int64_t>(ProcessEntries().size()); }

int64_t HostThreadCount() {
  int64_t threads = 0;
  for (const std::string& name : ProcessEntries()) {
    const std::string status = HostFile("Z:\\proc\\" + name + "\\status");
    const size_t at = status.find("Threads:");
    if (at != std::string::npos) threads += std::atoll(status.c_str() + at + 8);
  }
  return threads;
}

void CpuJiffies(const char* cpuLine, int64_t& busy, int64_t& total) {
  std::istringstream lines(HostFile("Z:\\proc\\stat"));
  std::string line;
  busy = total = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    if (name != cpuLine) continue;
    int64_t value = 0;
    for (int i = 0; fields >> value; ++i) {
      total += value;
      if (i != 3 && i != 4) busy += value;  // idle and iowait are not busy
    }
    return;
  }
}

std::vector<std::string> HostInterfaces() {
  std::istringstream lines(HostFile("Z:\\proc\\net\\dev"));
  std::string line;
  std::vector<std::string> names;
  while (std::getline(lines, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::istringstream field(line.substr(0, colon));
    std::string name;
    field >> name;
    if (!name.empty() && name != "lo") names.push_back(name);
  }
  return names;
}

bool HostHasDisk() {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA("Z:\\sys\\block\\*", &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool disk = false;
  do {
    const std::string device = std::string("Z:\\sys\\block\\") + found.cFileName + "\\device";
    disk = disk || (found.cFileName[0] != '.' && GetFileAttributesA(device.c_str()) != INVALID_FILE_ATTRIBUTES);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return disk;
}
