// A scratch registry for one test process: HKEY_LOCAL_MACHINE redirected to a
// fresh key that is deleted afterwards, raw access to the settings key's
// values, and a count of the process's open key handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct RawValue {
  bool exists = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

// Scratch registries nest: the innermost one is in force, and ending it puts
// the one around it back.
class ScratchRegistry {
 public:
  ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;
  ~ScratchRegistry();

  bool Ready() const { return scratch != nullptr; }
  // Whether "Software\Pipstack" exists under the redirected HKEY_LOCAL_MACHINE.
  bool SettingsKeyExists() const;
  // Plants a value in the settings key as given, creating the key.
  void Plant(const char* name, DWORD type, const void* data, DWORD size);
  void PlantDword(const char* name, int32_t value) { Plant(name, REG_DWORD, &value, sizeof value); }
  void PlantString(const char* name, const std::string& text) {
    Plant(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  RawValue Read(const char* name) const;
  // Every value of the settings key, by name.
  std::vector<std::string> ValueNames() const;
  // Leaves the settings key in place but lets nobody write to it or open it
  // for writing (reading stays allowed).
  void DenyWrites();

 private:
  HKEY scratch = nullptr;
  std::string scratchPath;
  ScratchRegistry* outer = nullptr;
};

// Handles this process holds open, as the system's handle table lists them
// (Wine's GetProcessHandleCount always answers 0).
int32_t OpenHandleCount();

DWORD AsDword(const RawValue& value);
std::string AsText(const RawValue& value);
