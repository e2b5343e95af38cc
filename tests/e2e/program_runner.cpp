// Process, window and registry helpers for the end-to-end tests.
#include "tests/e2e/program_runner.h"

#include <sddl.h>

#include <vector>

#include "core/scoped_win.h"
#include "settings/registry_values.h"

namespace {

constexpr char kCaption[] = "Pipstack";
constexpr char kDialogClass[] = "#32770";
// A message box's text is the static control with this id.
constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 20;
// Everyone: read and change permissions only; everyone: all access.
constexpr char kReadOnlyDacl[] = "D:(A;CI;KRWD;;;WD)";
constexpr char kOpenDacl[] = "D:(A;CI;KA;;;WD)";
// The program keeps its settings in the 64-bit registry view in both builds.
constexpr REGSAM kView = KEY_WOW64_64KEY;

struct BoxSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char cls[32] = {}, title[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, title, sizeof title);
  if (lstrcmpA(cls, kDialogClass) != 0 || lstrcmpA(title, kCaption) != 0) return TRUE;
  if (GetDlgItem(window, kMessageTextId) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

bool SetSettingsKeyDacl(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
  const bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return ok;
}

bool OpenSettingsForReading(ScopedKey* k) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_READ | kView, k->Out()) == ERROR_SUCCESS;
}

bool WriteSetting(const char* name, DWORD type, const BYTE* data, DWORD size) {
  ScopedKey k;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE | kView, nullptr, k.Out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(k.Get(), name, 0, type, data, size) == ERROR_SUCCESS;
}

}  // namespace

bool StartProgram(Program* program, const std::string& folder, const std::string& arguments,
                  const std::string& workingFolder) {
  return program->Start(folder + "/pipstack.exe", arguments, workingFolder.empty() ? folder : workingFolder);
}

HWND WaitForWindow(const char* windowClass, const char* title, DWORD milliseconds, bool mustBeVisible) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(windowClass, title);
    if (window != nullptr && (!mustBeVisible || IsWindowVisible(window))) return window;
    if (GetTickCount() - start > milliseconds) return nullptr;
    Sleep(kPollMs);
  }
}

std::string WaitForMessageBox(const Program& program, DWORD milliseconds, HWND* box) {
  const DWORD start = GetTickCount();
  for (;;) {
    BoxSearch search{program.Id(), nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      char text[256] = {};
      GetDlgItemTextA(search.found, kMessageTextId, text, sizeof text);
      if (box != nullptr) *box = search.found;
      return text;
    }
    if (GetTickCount() - start > milliseconds) return "";
    if (WaitForSingleObject(program.Handle(), kPollMs) == WAIT_OBJECT_0) return "";
  }
}

void DismissMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

void DeleteSettingsKey() {
  ScopedKey k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, WRITE_DAC | kView, k.Out()) == ERROR_SUCCESS) {
    SetSettingsKeyDacl(k.Get(), kOpenDacl);
  }
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, KEY_ALL_ACCESS | kView, k.Out()) == ERROR_SUCCESS) {
    RegDeleteTreeA(k.Get(), nullptr);
    k.Close();
  }
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, kView, 0);
}

bool MakeSettingsKeyReadOnly() {
  ScopedKey k;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, k.Out(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return SetSettingsKeyDacl(k.Get(), kReadOnlyDacl);
}

bool ReadSettingDword(const char* name, int32_t* value) {
  ScopedKey k;
  if (!OpenSettingsForReading(&k)) return false;
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(k.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_DWORD || size != sizeof data) return false;
  *value = static_cast<int32_t>(data);
  return true;
}

bool ReadSettingString(const char* name, std::string* value) {
  ScopedKey k;
  if (!OpenSettingsForReading(&k)) return false;
  char data[1024] = {};
  DWORD type = 0, size = sizeof data - 1;
  if (RegQueryValueExA(k.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ) return false;
  *value = data;
  return true;
}

int32_t CountSettingValues() {
  ScopedKey k;
  if (!OpenSettingsForReading(&k)) return -1;
  DWORD values = 0;
  if (RegQueryInfoKeyA(k.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return -1;
  return static_cast<int32_t>(values);
}

bool WriteSettingDword(const char* name, int32_t value) {
  const DWORD data = static_cast<DWORD>(value);
  return WriteSetting(name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

bool WriteSettingBytes(const char* name, DWORD type, const void* data, DWORD size) {
  return WriteSetting(name, type, static_cast<const BYTE*>(data), size);
}

DWORD SettingType(const char* name) {
  ScopedKey k;
  DWORD type = REG_NONE;
  if (!OpenSettingsForReading(&k) || RegQueryValueExA(k.Get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return REG_NONE;
  return type;
}

bool WriteSettingString(const char* name, const char* value) {
  return WriteSetting(name, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(lstrlenA(value) + 1));
}
