// How a test drives the fake pdh.dll: choose a variant folder, set its knobs
// (see fake_pdh.cpp) and read back the calls it logged.
#pragma once

#include <windows.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace fake_pdh {

constexpr char kValues[] = "PIPSTACK_FAKE_PDH_VALUES";
constexpr char kValuesFile[] = "PIPSTACK_FAKE_PDH_VALUES_FILE";
constexpr char kReject[] = "PIPSTACK_FAKE_PDH_REJECT";
constexpr char kFailOpen[] = "PIPSTACK_FAKE_PDH_FAIL_OPEN";
constexpr char kFailAdd[] = "PIPSTACK_FAKE_PDH_FAIL_ADD";
constexpr char kFailRemove[] = "PIPSTACK_FAKE_PDH_FAIL_REMOVE";
constexpr char kFailCollect[] = "PIPSTACK_FAKE_PDH_FAIL_COLLECT";
constexpr char kFailFormat[] = "PIPSTACK_FAKE_PDH_FAIL_FORMAT";
constexpr char kBrowse[] = "PIPSTACK_FAKE_PDH_BROWSE";
constexpr char kLog[] = "PIPSTACK_FAKE_PDH_LOG";

constexpr std::initializer_list<const char*> kAllKnobs = {kValues,     kValuesFile,  kReject,     kFailOpen, kFailAdd,
                                                          kFailRemove, kFailCollect, kFailFormat, kBrowse,   kLog};

// Makes LoadLibraryA("pdh.dll") find the given variant ("complete",
// "without-PdhOpenQueryA", ...).
inline bool UseVariant(const std::string& variant) {
  return SetDllDirectoryA((std::string(PIPSTACK_FAKE_PDH_DIR) + "/" + variant).c_str()) != FALSE;
}

inline void Set(const char* knob, const std::string& value) { SetEnvironmentVariableA(knob, value.c_str()); }

inline void ClearAll() {
  for (const char* knob : kAllKnobs) SetEnvironmentVariableA(knob, nullptr);
}

// A log file of this process's own, emptied; returns its name.
inline std::string StartLog() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string file = std::string(folder) + "fake_pdh_" + std::to_string(GetCurrentProcessId()) + ".log";
  DeleteFileA(file.c_str());
  Set(kLog, file);
  return file;
}

inline std::vector<std::string> ReadLog(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The logged lines that begin with prefix ("browse ", "add ", ...), in order.
inline std::vector<std::string> ReadLogLines(const std::string& file, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const std::string& line : ReadLog(file)) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

// Where a test over the complete fake begins: no knob set, the complete
// variant found by LoadLibraryA, and a fresh log, whose name is returned
// ("" when the variant folder could not be chosen).
inline std::string StartCompleteRun() {
  ClearAll();
  if (!UseVariant("complete")) return "";
  return StartLog();
}

}  // namespace fake_pdh
