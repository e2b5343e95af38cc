// The values under HKEY_LOCAL_MACHINE "Software\Pipstack": each read creates
// a missing value with its default first. A number stored as text (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ), as a REG_QWORD or in more than 4 bytes counts
// as missing; a REG_DWORD_BIG_ENDIAN is read as the big-endian number it is;
// of any other type up to 4 bytes are the number.
#pragma once

#include <cstdint>
#include <memory>

// What every value operation can answer.
enum RegistryValueStatus : int32_t {
  kRegistryOk = 0,
  kRegistryBadArgument = 1,  // a name, a destination or a text is missing
  kRegistryKeyFailed = 2,    // the key could not be opened or created
  kRegistryNotWritten = 3,   // the value could not be set; for a read, the default of a missing one
};

// A read's own failures, after the codes above.
enum DwordReadStatus : int32_t {
  kDwordNotRead = 4,  // the read failed, or the value still has no number after its default was written
};
enum StringReadStatus : int32_t {
  kStringNoMemory = 4,  // no buffer for the text
  kStringNotRead = 5,
};

// HKEY_LOCAL_MACHINE's subkey that holds every value.
constexpr char kSettingsKeyPath[] = "Software\\Pipstack";

int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue);
int32_t WriteDwordValue(const char* name, int32_t value);
// The text handed back is always zero-terminated.
int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText);
// Stored with its terminating zero.
int32_t WriteStringValue(const char* name, const char* text);
