// Process and window helpers of the probe.
#include "bench/program_control_win.h"

#include <vector>

#include "app/background_window_win.h"
#include "app/resources/resource_ids.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kConfigTitle[] = "Pipstack Configuration";
// Polling the window list faster than this loads the wineserver that the
// meter and the second start need: at 1 ms the dialog took ten times as long
// to appear.
constexpr DWORD kPollMs = 10;

template <typename Found>
bool WaitUntil(DWORD milliseconds, Found found) {
  const DWORD start = GetTickCount();
  while (!found()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(kPollMs);
  }
  return true;
}

}  // namespace

StartedProcess::~StartedProcess() {
  if (info_.hThread != nullptr) CloseHandle(info_.hThread);
  if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
}

bool StartedProcess::Start(const std::string& exe, const std::string& arguments, const std::string& folder) {
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info_) != FALSE;
}

bool StartedProcess::WaitForExit(DWORD milliseconds) const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

HWND WaitForPollWindow(DWORD milliseconds) {
  HWND window = nullptr;
  WaitUntil(milliseconds, [&] { return (window = FindWindowA(kPollWindowClass, kPollWindowTitle)) != nullptr; });
  return window;
}

HWND WaitForVisibleConfigDialog(DWORD milliseconds) {
  HWND dialog = nullptr;
  const bool shown = WaitUntil(milliseconds, [&] {
    dialog = FindWindowA(kDialogClass, kConfigTitle);
    return dialog != nullptr && IsWindowVisible(dialog);
  });
  return shown ? dialog : nullptr;
}

bool WaitForHiddenDialog(HWND dialog, DWORD milliseconds) {
  return WaitUntil(milliseconds, [&] { return !IsWindowVisible(dialog); });
}

void PressCloseButton(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_CLOSE, BN_CLICKED), 0);
}

bool AskMeterToQuit(DWORD milliseconds) {
  HWND window = WaitForPollWindow(milliseconds);
  return window != nullptr && PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}
