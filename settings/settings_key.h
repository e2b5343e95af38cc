// The settings key, opened (or created) afresh for each access and closed when
// the guard goes out of scope, so no path leaves it open.
#pragma once

#include <windows.h>

#include "settings/registry_values.h"

// KEY_READ | KEY_WRITE (0x2001F): the key is always opened for both.
constexpr REGSAM kSettingsKeyAccess = KEY_READ | KEY_WRITE;
static_assert(kSettingsKeyAccess == 0x2001F, "the settings key is opened for reading and writing");

class SettingsKey {
 public:
  SettingsKey() = default;
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;
  ~SettingsKey() { Close(); }

  // Opens or creates the key; created tells whether it did not exist before.
  bool Open(bool* created) {
    Close();
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, kSettingsKeyAccess, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
      key = nullptr;
      return false;
    }
    *created = disposition == REG_CREATED_NEW_KEY;
    return true;
  }

  void Close() {
    if (key != nullptr) RegCloseKey(key);
    key = nullptr;
  }

  HKEY Get() const { return key; }

 private:
  HKEY key = nullptr;
};
