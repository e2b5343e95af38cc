// The LED controller's line parser: bytes to lines and lines to commands, as
// the firmware and the program use them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/PipstackLeds/led_protocol.h"

namespace {

using namespace std::string_literals;  // "...\0..."s keeps its NUL bytes

const std::string k32(32, 'x');
const std::string k33(33, 'x');

// Feeds the bytes in reads of the given sizes (the rest in one), taking each
// line as FeedLedLine hands it over, as a receive loop does.
std::vector<std::string> LinesOf(LedLineReader* reader, const std::string& bytes, std::vector<size_t> reads = {}) {
  std::vector<std::string> lines;
  size_t at = 0;
  reads.push_back(bytes.size());
  for (size_t size : reads) {
    const std::string chunk = bytes.substr(at, size);
    at += chunk.size();
    for (char c : chunk) {
      if (FeedLedLine(reader, static_cast<uint8_t>(c))) lines.emplace_back(reader->text);
    }
  }
  return lines;
}

std::vector<std::string> LinesOf(const std::string& bytes) {
  LedLineReader reader;
  ResetLedLine(&reader);
  return LinesOf(&reader, bytes);
}

TEST(LedLineReaderTest, SplitsBytesIntoLines) {
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
  } rows[] = {
      {"a command", "L1F\n", {"L1F"}},
      {"CR before the LF", "L1F\r\n", {"L1F"}},
      {"the identity, as the program reads it", "PIPSTACK LEDS 1\n", {kLedIdentityLine}},
      {"empty lines", "\n\r\n", {"", ""}},
      {"several in one read", "L01\n?\nL80\r\n", {"L01", "?", "L80"}},
      {"no LF yet", "L1F", {}},
      {"CR inside the line", "L1\rF\n", {"L1\rF"}},
      {"only the last CR goes", "L1F\r\r\n", {"L1F\r"}},
      {"a lone CR ends nothing", "L1F\rL2F\n", {"L1F\rL2F"}},
      {"exactly the limit", k32 + "\n", {k32}},
      {"exactly the limit with CR", k32 + "\r\n", {k32}},
      {"one over the limit, then a line", k33 + "\n?\n", {"?"}},
      {"one over with CR, then a line", k33 + "\r\nL02\n", {"L02"}},
      {"the limit, a CR inside, one more", k32 + "\rx\nL03\n", {"L03"}},
      {"far over the limit, then a line", std::string(500, 'L') + "\nL04\n", {"L04"}},
      {"two overlong lines in a row", k33 + "\n" + k33 + "\n" + k32 + "\n", {k32}},
      {"a NUL inside, then a line", "L1F\0\n?\n"s, {"?"}},
      {"a NUL alone", "\0\n"s, {}},
      {"a NUL counts towards the limit", std::string(32, '\0') + "x\nL05\n", {"L05"}},
      {"garbage before a valid line", "\xff\xfe\x80 noise\x01\nL1F\n", {"\xff\xfe\x80 noise\x01", "L1F"}},
  };
  for (const auto& row : rows) EXPECT_EQ(LinesOf(row.bytes), row.lines) << row.what;
}

TEST(LedLineReaderTest, ReadsTheSameWhereverTheReadsSplit) {
  const std::string stream = "L1F\r\n" + k33 + "\n?\nl80\n" + k32 + "\r\nLff\n";
  const std::vector<std::string> whole = {"L1F", "?", "l80", k32, "Lff"};
  for (size_t first = 0; first <= stream.size(); ++first) {
    for (size_t second : {size_t{1}, size_t{3}, size_t{7}}) {
      LedLineReader reader;
      ResetLedLine(&reader);
      EXPECT_EQ(LinesOf(&reader, stream, {first, second}), whole) << "reads of " << first << ", " << second;
    }
  }
}

TEST(LedLineReaderTest, ResetForgetsTheLineInProgress) {
  LedLineReader reader;
  ResetLedLine(&reader);
  EXPECT_EQ(LinesOf(&reader, "L1"), std::vector<std::string>{});
  ResetLedLine(&reader);
  EXPECT_EQ(LinesOf(&reader, "F\n"), std::vector<std::string>{"F"});
  EXPECT_EQ(LinesOf(&reader, k33), std::vector<std::string>{});
  ResetLedLine(&reader);
  EXPECT_EQ(LinesOf(&reader, "?\n"), std::vector<std::string>{"?"});
}

TEST(DecodeLedCommandTest, KnowsTheTwoCommandsAndIgnoresTheRest) {
  const struct {
    const char* line;
    LedCommandKind kind;
    uint8_t leds;
  } rows[] = {
      {"L1F", kLedCommandShow, 0x1F},
      {"L00", kLedCommandShow, 0x00},
      {"LFF", kLedCommandShow, 0xFF},
      {"Lff", kLedCommandShow, 0xFF},
      {"LaB", kLedCommandShow, 0xAB},
      {"L9c", kLedCommandShow, 0x9C},
      {"l80", kLedCommandShow, 0x80},
      {"?", kLedCommandIdentify, 0},
      {"", kLedCommandIgnored, 0},
      {"L", kLedCommandIgnored, 0},
      {"L1", kLedCommandIgnored, 0},
      {"L123", kLedCommandIgnored, 0},
      {"L1G", kLedCommandIgnored, 0},
      {"LG1", kLedCommandIgnored, 0},
      {"L:0", kLedCommandIgnored, 0},  // ':' follows '9', '@' precedes 'A'
      {"L@0", kLedCommandIgnored, 0},
      {"L0`", kLedCommandIgnored, 0},  // '`' precedes 'a', 'g' follows 'f'
      {"L0g", kLedCommandIgnored, 0},
      {" L1F", kLedCommandIgnored, 0},
      {"L1F ", kLedCommandIgnored, 0},
      {"L 1F", kLedCommandIgnored, 0},
      {"L1F\r", kLedCommandIgnored, 0},
      {"L-1", kLedCommandIgnored, 0},
      {"X1F", kLedCommandIgnored, 0},
      {"1F", kLedCommandIgnored, 0},
      {"??", kLedCommandIgnored, 0},
      {"? ", kLedCommandIgnored, 0},
      {kLedIdentityLine, kLedCommandIgnored, 0},
  };
  for (const auto& row : rows) {
    const LedCommand command = DecodeLedCommand(row.line);
    EXPECT_EQ(command.kind, row.kind) << '"' << row.line << '"';
    EXPECT_EQ(command.leds, row.leds) << '"' << row.line << '"';
  }
  EXPECT_EQ(DecodeLedCommand(nullptr).kind, kLedCommandIgnored);
}

}  // namespace
