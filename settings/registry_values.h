// The values under HKEY_LOCAL_MACHINE "Software\Pipstack": each read creates
// a missing value with its default first.
#pragma once

#include <cstdint>
#include <memory>

enum RegistryValueStatus : int32_t {
  kRegistryOk = 0,
  kRegistryBadArgument = 1,         // a name, a destination or a text is missing
  kRegistryKeyFailed = 2,           // the key could not be opened or created
  kRegistryDefaultNotWritten = 3,   // reads: the missing value could not be created
  kRegistryNotWritten = 3,          // writes: the value could not be set
  kRegistryDwordNotRead = 4,        // ReadDwordValue: the read failed (or data over 4 bytes)
  kRegistryNoMemory = 4,            // ReadStringValue: no buffer for the text
  kRegistryStringNotRead = 5,       // ReadStringValue: the read failed
};

// HKEY_LOCAL_MACHINE's subkey that holds every value.
constexpr char kSettingsKeyPath[] = "Software\\Pipstack";

// 0; 1 name or result missing; 2 key; 3 default not written; 4 not read.
int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue);
// 0; 1 name missing; 2 key; 3 not written.
int32_t WriteDwordValue(const char* name, int32_t value);
// 0; 1 name or result missing; 2 key; 3 default not written; 4 no memory; 5 not read.
// The text handed back is always zero-terminated.
int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText);
// 0; 1 name or text missing; 2 key; 3 not written. Stored with its terminating zero.
int32_t WriteStringValue(const char* name, const char* text);
