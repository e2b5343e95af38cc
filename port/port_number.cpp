// Port number from a port name such as LPT1.
#include "port/port_number.h"

#include "core/text_number.h"

int32_t PortNumberFromName(const char* name) {
  if (name == nullptr) return 0;
  constexpr int kPrefixLength = 3;
  for (int i = 0; i < kPrefixLength; ++i) {
    if (name[i] == '\0') return 0;
  }
  return ParseDecimal(name + kPrefixLength);
}
