// Reading the simulated board's LED journal.
#include "tools/ledview/board_journal.h"

namespace {

// Milliseconds that fit in 64 signed bits have at most 18 digits.
constexpr size_t kMaxTimeDigits = 18;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "<decimal> <two hex digits>", nothing else.
BoardLedLine ParseLine(const std::string& line) {
  const size_t space = line.find(' ');
  if (space == 0 || space == std::string::npos || space > kMaxTimeDigits || line.size() != space + 3) return {};
  int64_t time = 0;
  for (size_t i = 0; i < space; ++i) {
    if (line[i] < '0' || line[i] > '9') return {};
    time = time * 10 + (line[i] - '0');
  }
  const int high = HexDigit(line[space + 1]);
  const int low = HexDigit(line[space + 2]);
  if (high < 0 || low < 0) return {};
  return BoardLedLine{true, time, static_cast<uint8_t>(high << 4 | low)};
}

}  // namespace

BoardLedLine LastBoardLedLine(const std::string& text, bool startsAtLine) {
  // Where whole lines begin: at the start, or after the first newline when
  // the text begins inside a line.
  size_t begin = 0;
  if (!startsAtLine) {
    const size_t first = text.find('\n');
    if (first == std::string::npos) return {};
    begin = first + 1;
  }
  // Only what a newline ends is complete; the board may be writing the rest.
  for (size_t end = text.rfind('\n'); end != std::string::npos && end >= begin;) {
    const size_t previous = end > begin ? text.rfind('\n', end - 1) : std::string::npos;
    const size_t start = previous == std::string::npos || previous < begin ? begin : previous + 1;
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const BoardLedLine parsed = ParseLine(line);
    if (parsed.found) return parsed;
    if (start == begin) break;
    end = start - 1;
  }
  return {};
}

std::string BoardJournalPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath + ".leds";
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

int64_t FileTimeToUnixMs(uint64_t fileTime) {
  // 1601-01-01 to 1970-01-01: 11644473600 s, in 100 ns units.
  constexpr uint64_t kUnixEpoch = 116444736000000000u;
  constexpr uint64_t kPerMs = 10000;
  return fileTime < kUnixEpoch ? 0 : static_cast<int64_t>((fileTime - kUnixEpoch) / kPerMs);
}
