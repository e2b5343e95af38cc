// The USB LED controller's line parser: bytes to lines, lines to commands.
#include "led_protocol.h"

#include <string.h>

namespace {

// The value of a hex digit of either case, or -1 for any other character.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The line in progress may hold one byte beyond the limit: a CR there ends a
// line of exactly the limit if the LF follows.
constexpr unsigned kHeldLimit = kLedLineLimit + 1;

}  // namespace

void ResetLedLine(LedLineReader* reader) {
  reader->text[0] = '\0';
  reader->length = 0;
  reader->overlong = false;
}

bool FeedLedLine(LedLineReader* reader, uint8_t byte) {
  if (byte != '\n') {
    if (reader->overlong) return false;
    if (reader->length == kHeldLimit) {
      reader->overlong = true;
      return false;
    }
    reader->text[reader->length++] = static_cast<char>(byte);
    return false;
  }

  unsigned length = reader->length;
  const bool overlong = reader->overlong;
  reader->length = 0;
  reader->overlong = false;
  if (length > 0 && reader->text[length - 1] == '\r') --length;
  if (overlong || length > kLedLineLimit) {
    reader->text[0] = '\0';
    return false;
  }
  reader->text[length] = '\0';
  // A NUL inside would cut the text short: such a line is no line of ours.
  if (strlen(reader->text) != length) {
    reader->text[0] = '\0';
    return false;
  }
  return true;
}

LedCommand DecodeLedCommand(const char* line) {
  if (line == nullptr) return {kLedCommandIgnored, 0};
  if (line[0] == '?' && line[1] == '\0') return {kLedCommandIdentify, 0};
  if (line[0] != 'L' && line[0] != 'l') return {kLedCommandIgnored, 0};
  const int high = HexValue(line[1]);
  // Checked one by one: line[2] exists only when line[1] is not the end.
  if (high < 0) return {kLedCommandIgnored, 0};
  const int low = HexValue(line[2]);
  if (low < 0 || line[3] != '\0') return {kLedCommandIgnored, 0};
  return {kLedCommandShow, static_cast<uint8_t>(high * 16 + low)};
}
