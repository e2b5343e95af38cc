// Port names and port addresses as the command line and Plug and Play give
// them.
#include "port/port_address.h"

#include "core/text_number.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsAsAddress(const char* text) { return text[0] == '0' && (text[1] == 'x' || text[1] == 'X'); }

// Four hex digits at most, so the value always fits 16 bits.
bool ReadAddress(const char* text, uint16_t* base) {
  constexpr int kMostDigits = 4;
  const char* digits = text + 2;
  uint32_t value = 0;
  int count = 0;
  for (; digits[count] != '\0'; ++count) {
    const int digit = HexDigit(digits[count]);
    if (digit < 0 || count == kMostDigits) return false;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  if (count == 0 || !IsUsablePortBase(value)) return false;
  *base = static_cast<uint16_t>(value);
  return true;
}

}  // namespace

int32_t DeviceNameNumber(const char* text, const char* prefix) {
  if (text == nullptr) return 0;
  for (int i = 0; i < kDevicePrefixLength; ++i) {
    if (Lower(text[i]) != prefix[i]) return 0;
  }
  const char* digits = text + kDevicePrefixLength;
  if (*digits < '1' || *digits > '9') return 0;
  const char* end = digits;
  while (IsDigit(*end)) ++end;
  if (*end == ':') ++end;
  return *end == '\0' ? ParseDecimal(digits) : 0;
}

int32_t SerialPortNumber(const char* text) {
  const int32_t number = DeviceNameNumber(text, "com");
  return number <= kLastSerialPort ? number : 0;
}

PortArgument ReadPortArgument(const char* text) {
  PortArgument argument{kPortArgumentBadName, 0, 0};
  if (text == nullptr) return argument;
  if (StartsAsAddress(text)) {
    argument.kind = ReadAddress(text, &argument.base) ? kPortArgumentAddress : kPortArgumentBadAddress;
  } else if ((argument.number = DeviceNameNumber(text, "lpt")) != 0) {
    argument.kind = kPortArgumentName;
  }
  return argument;
}

bool NamesPort(const char* text, int32_t number) {
  const PortArgument argument = ReadPortArgument(text);
  return argument.kind == kPortArgumentName && argument.number == number;
}
