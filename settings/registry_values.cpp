// The registry value primitives over the settings key: DWORDs and strings, a
// missing value created with its default before it is read.
#include "settings/registry_values.h"

#include <cstring>
#include <utility>

#include "settings/settings_key.h"

namespace {

// A number is never read from text, nor from more than 4 bytes (a REG_QWORD
// or longer binary data, as another tool may store it): such a value is
// taken as missing, and its default replaces it, so that it cannot stop
// every start. A big-endian number is read as such, from exactly 4 bytes.
bool IsTextType(uint32_t type) {
  return type == kStoredText || type == kStoredExpandableText || type == kStoredMultiText;
}

bool IsMissingNumber(const StoredValue& value) {
  if (value.size == 0 || IsTextType(value.type) || value.type == kStoredQword) return true;
  if (value.type == kStoredDwordBigEndian) return value.size != sizeof(int32_t);
  return value.size > sizeof(int32_t);
}
bool IsMissingText(const StoredValue& value) { return value.size == 0; }

// Reads the value, and when the key is new or the value missing writes the
// default once and reads again. A value that is still missing after that is
// left for the caller to fail on, so a read never loops.
template <typename IsMissing, typename WriteDefault>
int32_t ReadWithDefault(const char* name, StoredValue* value, IsMissing isMissing, WriteDefault writeDefault,
                        int32_t noMemory, int32_t notRead) {
  bool created = false;
  for (bool defaultWritten = false;; defaultWritten = true) {
    switch (GetStoredValue(name, value, &created)) {
      case kSettingsKeyOk:
        break;
      case kSettingsKeyNotOpened:
        return kRegistryKeyFailed;
      case kSettingsKeyNoMemory:
        return noMemory;
      default:
        return notRead;
    }
    if (defaultWritten || !(created || isMissing(*value))) return kRegistryOk;
    if (writeDefault() != kRegistryOk) return kRegistryNotWritten;
  }
}

int32_t WriteStatus(int32_t keyStatus) {
  if (keyStatus == kSettingsKeyOk) return kRegistryOk;
  return keyStatus == kSettingsKeyNotOpened ? kRegistryKeyFailed : kRegistryNotWritten;
}

}  // namespace

int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue) {
  if (name == nullptr || result == nullptr) return kRegistryBadArgument;
  StoredValue value;
  const int32_t status = ReadWithDefault(
      name, &value, IsMissingNumber, [&] { return WriteDwordValue(name, defaultValue); }, kDwordNotRead, kDwordNotRead);
  if (status != kRegistryOk) return status;
  if (IsMissingNumber(value)) return kDwordNotRead;
  // Of any other type up to 4 bytes are the number, lowest byte first;
  // shorter data leaves the rest zero.
  uint8_t bytes[sizeof(int32_t)] = {};
  std::memcpy(bytes, value.data.get(), value.size);
  uint32_t number = 0;
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    const std::size_t place = value.type == kStoredDwordBigEndian ? sizeof bytes - 1 - i : i;
    number |= static_cast<uint32_t>(bytes[i]) << (8 * place);
  }
  *result = static_cast<int32_t>(number);
  return kRegistryOk;
}

int32_t WriteDwordValue(const char* name, int32_t value) {
  if (name == nullptr) return kRegistryBadArgument;
  return WriteStatus(SetStoredValue(name, kStoredDword, &value, sizeof value));
}

int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText) {
  if (name == nullptr || result == nullptr) return kRegistryBadArgument;
  StoredValue value;
  const int32_t status = ReadWithDefault(
      name, &value, IsMissingText, [&] { return WriteStringValue(name, defaultText); }, kStringNoMemory,
      kStringNotRead);
  if (status != kRegistryOk) return status;
  if (IsMissingText(value)) return kStringNotRead;
  // Stored data need not end in a zero; the last stored byte becomes one, so
  // the text never reaches past what was stored.
  value.data[value.size - 1] = '\0';
  *result = std::move(value.data);
  return kRegistryOk;
}

int32_t WriteStringValue(const char* name, const char* text) {
  if (name == nullptr || text == nullptr) return kRegistryBadArgument;
  return WriteStatus(SetStoredValue(name, kStoredText, text, static_cast<uint32_t>(std::strlen(text) + 1)));
}
