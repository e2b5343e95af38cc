// The settings key on the registry: opened (or created) for reading and
// writing for every access, and closed again before the access returns.
#include <windows.h>

#include <new>

#include "core/scoped_win.h"
#include "settings/registry_values.h"
#include "settings/settings_key.h"

namespace {

// KEY_READ | KEY_WRITE (0x2001F): the key is always opened for both.
constexpr REGSAM kSettingsKeyAccess = KEY_READ | KEY_WRITE;
static_assert(kSettingsKeyAccess == 0x2001F, "the settings key is opened for reading and writing");
static_assert(kStoredText == REG_SZ && kStoredExpandableText == REG_EXPAND_SZ && kStoredBinary == REG_BINARY &&
                  kStoredDword == REG_DWORD && kStoredMultiText == REG_MULTI_SZ && kStoredQword == REG_QWORD,
              "the stored types are the registry's own numbers");

// Both builds use the 64-bit registry view: on 64-bit Windows a 32-bit
// program's key would otherwise be Software\WOW6432Node\Pipstack, and a user
// who changes builds would lose the settings. 32-bit Windows ignores the flag
// (it is unknown only to Windows 2000, older than we support).
bool OpenSettingsKey(ScopedKey* key, bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, kSettingsKeyAccess | KEY_WOW64_64KEY,
                      nullptr, &opened, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  key->Reset(opened);
  *created = disposition == REG_CREATED_NEW_KEY;
  return true;
}

}  // namespace

int32_t GetStoredValue(const char* name, StoredValue* value, bool* keyCreated) {
  ScopedKey key;
  if (!OpenSettingsKey(&key, keyCreated)) return kSettingsKeyNotOpened;
  // A missing value reads as no data; the size query's own result does not
  // matter.
  DWORD type = REG_NONE;
  DWORD size = 0;
  RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &size);
  *value = StoredValue{type, 0, nullptr};
  if (size == 0) return kSettingsKeyOk;
  value->data.reset(new (std::nothrow) char[size]);
  if (!value->data) return kSettingsKeyNoMemory;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value->data.get()), &size) !=
      ERROR_SUCCESS) {
    return kSettingsKeyNotRead;
  }
  value->type = type;
  value->size = size;
  return kSettingsKeyOk;
}

int32_t SetStoredValue(const char* name, uint32_t type, const void* data, uint32_t size) {
  ScopedKey key;
  bool created = false;
  if (!OpenSettingsKey(&key, &created)) return kSettingsKeyNotOpened;
  if (RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS) {
    return kSettingsKeyNotSet;
  }
  return kSettingsKeyOk;
}
