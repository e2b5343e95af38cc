// Starting a process, waiting for it and ending it.
#include "tools/process/started_process_win.h"

#include <vector>

namespace {

// What a process ended from outside exits with, so that it is told apart.
constexpr UINT kKilledExitCode = 99;
constexpr DWORD kKillWaitMs = 5000;

}  // namespace

bool StartedProcess::Start(const std::string& exe, const std::string& arguments, const std::string& folder) {
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info)) {
    return false;
  }
  process_.Reset(info.hProcess);
  thread_.Reset(info.hThread);
  id_ = info.dwProcessId;
  return true;
}

bool StartedProcess::WaitForExit(DWORD milliseconds, DWORD* exitCode) const {
  if (!process_.IsValid() || WaitForSingleObject(process_.Get(), milliseconds) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  if (exitCode != nullptr) *exitCode = code;
  return true;
}

void StartedProcess::Kill() const {
  if (!process_.IsValid() || WaitForSingleObject(process_.Get(), 0) != WAIT_TIMEOUT) return;
  TerminateProcess(process_.Get(), kKilledExitCode);
  WaitForSingleObject(process_.Get(), kKillWaitMs);
}
