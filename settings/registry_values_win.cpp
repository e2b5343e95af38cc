// The registry value primitives: DWORDs and strings under the settings key,
// a missing or empty value created with its default before it is read.
#include "settings/registry_values.h"

#include <cstring>
#include <new>
#include <utility>

#include "core/scoped_win.h"

namespace {

// KEY_READ | KEY_WRITE (0x2001F): the key is always opened for both.
constexpr REGSAM kSettingsKeyAccess = KEY_READ | KEY_WRITE;
static_assert(kSettingsKeyAccess == 0x2001F, "the settings key is opened for reading and writing");

// Opens, or creates, the settings key afresh for each access; created tells
// whether it did not exist before. On failure the guard holds nothing.
// Both builds use the 64-bit registry view: on 64-bit Windows a 32-bit
// program's key would otherwise be Software\WOW6432Node\Pipstack, and a user
// who changes builds would lose the settings. 32-bit Windows ignores the flag
// (it is unknown only to Windows 2000, older than we support).
bool OpenSettingsKey(ScopedKey* key, bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  key->Close();
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, kSettingsKeyAccess | KEY_WOW64_64KEY,
                      nullptr, &opened, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  key->Reset(opened);
  *created = disposition == REG_CREATED_NEW_KEY;
  return true;
}

// The size of the stored data; 0 when the value is missing or has no data
// (the query's own result does not matter: a missing value reads as 0 bytes).
DWORD StoredSize(const ScopedKey& key, const char* name) {
  DWORD size = 0;
  RegQueryValueExA(key.Get(), name, nullptr, nullptr, nullptr, &size);
  return size;
}

// Opens the key for a read and makes sure the value has data, writing the
// default once when the key is new or the value empty. A value that is still
// empty after that is left for the read to fail on, so a read never loops.
template <typename WriteDefault>
int32_t OpenForRead(ScopedKey& key, const char* name, WriteDefault writeDefault) {
  bool created = false;
  if (!OpenSettingsKey(&key, &created)) return kRegistryKeyFailed;
  if (created || StoredSize(key, name) == 0) {
    key.Close();
    if (writeDefault() != kRegistryOk) return kRegistryNotWritten;
    if (!OpenSettingsKey(&key, &created)) return kRegistryKeyFailed;
  }
  return kRegistryOk;
}

int32_t SetValue(const char* name, DWORD type, const void* data, DWORD size) {
  ScopedKey key;
  bool created = false;
  if (!OpenSettingsKey(&key, &created)) return kRegistryKeyFailed;
  if (RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS) {
    return kRegistryNotWritten;
  }
  return kRegistryOk;
}

}  // namespace

int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue) {
  if (name == nullptr || result == nullptr) return kRegistryBadArgument;
  ScopedKey key;
  const int32_t opened = OpenForRead(key, name, [&] { return WriteDwordValue(name, defaultValue); });
  if (opened != kRegistryOk) return opened;

  // Whatever type is stored, its first 4 bytes are the number; shorter data
  // leaves the rest of the buffer zero, longer data fails the read.
  BYTE data[sizeof(int32_t)] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, data, &size) != ERROR_SUCCESS || size == 0) {
    return kDwordNotRead;
  }
  std::memcpy(result, data, sizeof data);
  return kRegistryOk;
}

int32_t WriteDwordValue(const char* name, int32_t value) {
  if (name == nullptr) return kRegistryBadArgument;
  return SetValue(name, REG_DWORD, &value, sizeof value);
}

int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText) {
  if (name == nullptr || result == nullptr) return kRegistryBadArgument;
  ScopedKey key;
  const int32_t opened = OpenForRead(key, name, [&] { return WriteStringValue(name, defaultText); });
  if (opened != kRegistryOk) return opened;

  DWORD size = StoredSize(key, name);
  if (size == 0) return kStringNotRead;
  std::unique_ptr<char[]> text(new (std::nothrow) char[size]);
  if (!text) return kStringNoMemory;
  if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.get()), &size) !=
          ERROR_SUCCESS ||
      size == 0) {
    return kStringNotRead;
  }
  // Stored data need not end in a zero; the last stored byte becomes one, so
  // the text never reaches past what was stored.
  text[size - 1] = '\0';
  *result = std::move(text);
  return kRegistryOk;
}

int32_t WriteStringValue(const char* name, const char* text) {
  if (name == nullptr || text == nullptr) return kRegistryBadArgument;
  return SetValue(name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1));
}
