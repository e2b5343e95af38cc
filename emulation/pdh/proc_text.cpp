// Reading figures out of the texts Linux publishes in /proc and /sys.
#include "emulation/pdh/proc_text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr int64_t kSectorBytes = 512;
constexpr int64_t kZeroCelsiusMilliKelvin = 273150;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A decimal number at pos (optionally signed), moving pos past it. Values beyond
// 18 digits are refused rather than overflowing.
bool TakeNumber(std::string_view text, size_t& pos, int64_t& value, bool allowSign) {
  bool negative = false;
  if (allowSign && pos < text.size() && text[pos] == '-') {
    negative = true;
    ++pos;
  }
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    if (pos - start >= 18) return false;
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (negative) value = -value;
  return pos > start;
}

void SkipSpaces(std::string_view text, size_t& pos) {
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
}

}  // namespace

bool ParseLoadavgThreads(std::string_view text, int64_t& threads) {
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  size_t pos = slash + 1;
  int64_t value = 0;
  if (!TakeNumber(text, pos, value, false)) return false;
  if (pos < text.size() && !IsSpace(text[pos])) return false;
  threads = value;
  return true;
}

bool ParseBlockStat(std::string_view text, int64_t& bytes, int64_t& busyMs) {
  std::array<int64_t, 10> fields{};
  size_t pos = 0;
  for (int64_t& field : fields) {
    SkipSpaces(text, pos);
    if (!TakeNumber(text, pos, field, false)) return false;
  }
  bytes = (fields[2] + fields[6]) * kSectorBytes;
  busyMs = fields[9];
  return true;
}

bool ParseMilliCelsius(std::string_view text, int64_t& milliKelvin) {
  size_t pos = 0;
  SkipSpaces(text, pos);
  int64_t value = 0;
  if (!TakeNumber(text, pos, value, true)) return false;
  SkipSpaces(text, pos);
  if (pos != text.size()) return false;
  milliKelvin = value + kZeroCelsiusMilliKelvin;
  return true;
}

bool IsProcessEntry(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool ParseMeminfoBytes(std::string_view text, std::string_view field, int64_t& bytes) {
  size_t line = 0;
  while (line < text.size()) {
    const size_t end = std::min(text.find('\n', line), text.size());
    const std::string_view entry = text.substr(line, end - line);
    line = end + 1;
    if (entry.size() <= field.size() || entry.substr(0, field.size()) != field || entry[field.size()] != ':') continue;
    size_t pos = field.size() + 1;
    SkipSpaces(entry, pos);
    int64_t kb = 0;
    if (!TakeNumber(entry, pos, kb, false)) return false;
    bytes = kb * 1024;
    return true;
  }
  return false;
}
