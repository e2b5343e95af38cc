// The scratch registry of the settings tests (see scratch_registry.h).
#include "tests/settings/scratch_registry.h"

#include "tests/support/handle_count.h"

#include <sddl.h>

#include <cstring>

#include "settings/registry_values.h"

namespace {

constexpr char kScratchParent[] = "Software\\PipstackSettingsTests";
// Everyone may read and change the permissions (so the test can undo them),
// nobody may set values, create subkeys or delete.
constexpr char kReadOnlyDacl[] = "D:(A;CI;KRWD;;;WD)";
constexpr char kOpenDacl[] = "D:(A;CI;KA;;;WD)";

HKEY OpenSettingsKey(HKEY scratch, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(scratch, kSettingsKeyPath, 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

bool SetDacl(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  const bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  LocalFree(descriptor);
  return ok;
}

ScratchRegistry* innermost = nullptr;
int scratchCount = 0;

}  // namespace

ScratchRegistry::ScratchRegistry()
    : scratchPath(std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(++scratchCount)) {
  RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath.c_str());  // left by an earlier process of the same id
  if (RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch,
                      nullptr) != ERROR_SUCCESS) {
    scratch = nullptr;
    return;
  }
  if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch) != ERROR_SUCCESS) {
    RegCloseKey(scratch);
    scratch = nullptr;
    return;
  }
  outer = innermost;
  innermost = this;
}

ScratchRegistry::~ScratchRegistry() {
  if (scratch == nullptr) return;
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, outer != nullptr ? outer->scratch : nullptr);
  innermost = outer;
  if (HKEY key = OpenSettingsKey(scratch, WRITE_DAC)) {
    SetDacl(key, kOpenDacl);
    RegCloseKey(key);
  }
  RegCloseKey(scratch);
  RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);  // only goes when no other test's key is left
}

bool ScratchRegistry::SettingsKeyExists() const {
  HKEY key = OpenSettingsKey(scratch, KEY_READ);
  if (key == nullptr) return false;
  RegCloseKey(key);
  return true;
}

void ScratchRegistry::Plant(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(scratch, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

RawValue ScratchRegistry::Read(const char* name) const {
  RawValue value;
  HKEY key = OpenSettingsKey(scratch, KEY_READ);
  if (key == nullptr) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.exists = true;
    value.data.resize(size);
    RegQueryValueExA(key, name, nullptr, &value.type, size ? value.data.data() : nullptr, &size);
    value.data.resize(size);
  }
  RegCloseKey(key);
  return value;
}

std::vector<std::string> ScratchRegistry::ValueNames() const {
  std::vector<std::string> names;
  HKEY key = OpenSettingsKey(scratch, KEY_READ);
  if (key == nullptr) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

void ScratchRegistry::DenyWrites() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(scratch, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  SetDacl(key, kReadOnlyDacl);
  RegCloseKey(key);
}

int32_t OpenHandleCount() { return CountProcessHandles(GetCurrentProcessId()); }

DWORD AsDword(const RawValue& value) {
  DWORD number = 0;
  if (!value.data.empty()) {
    std::memcpy(&number, value.data.data(), value.data.size() < sizeof number ? value.data.size() : sizeof number);
  }
  return number;
}

std::string AsText(const RawValue& value) { return std::string(value.data.begin(), value.data.end()); }
