// The identity line, found in whatever a device sends.
#include "port/controller_answer.h"

#include <cstring>

bool HeardIdentity(LedLineReader* reader, const char* bytes, size_t count) {
  bool heard = false;
  for (size_t i = 0; i < count; ++i) {
    if (FeedLedLine(reader, static_cast<uint8_t>(bytes[i])) && std::strcmp(reader->text, kLedIdentityLine) == 0) {
      heard = true;
    }
  }
  return heard;
}
