// The settings key as the value reads and writes reach it: each call opens
// HKEY_LOCAL_MACHINE "Software\Pipstack" afresh (creating it when it is
// missing), does one thing and closes it again. Defined on the platform side;
// the fuzz target for stored settings stands in for it.
#pragma once

#include <cstdint>
#include <memory>

// The registry's types of stored data, by the platform's own numbers.
enum StoredType : uint32_t {
  kStoredNone = 0,
  kStoredText = 1,            // REG_SZ
  kStoredExpandableText = 2,  // REG_EXPAND_SZ
  kStoredBinary = 3,
  kStoredDword = 4,  // REG_DWORD, little-endian
  kStoredDwordBigEndian = 5,
  kStoredLink = 6,
  kStoredMultiText = 7,  // REG_MULTI_SZ
  kStoredResourceList = 8,
  kStoredFullResourceDescriptor = 9,
  kStoredResourceRequirementsList = 10,
  kStoredQword = 11,
};

enum SettingsKeyStatus : int32_t {
  kSettingsKeyOk = 0,
  kSettingsKeyNotOpened = 1,  // the key could not be opened or created
  kSettingsKeyNoMemory = 2,   // no buffer for the stored data
  kSettingsKeyNotRead = 3,
  kSettingsKeyNotSet = 4,
};

// A value as stored: its type and its data, exactly size bytes.
struct StoredValue {
  uint32_t type = kStoredNone;
  uint32_t size = 0;  // 0: the value is missing, or has no data
  std::unique_ptr<char[]> data;
};

// Reads the value whole; keyCreated tells whether the key did not exist
// before this call.
int32_t GetStoredValue(const char* name, StoredValue* value, bool* keyCreated);
int32_t SetStoredValue(const char* name, uint32_t type, const void* data, uint32_t size);
