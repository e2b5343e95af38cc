// Finds the newest data write in journal entries and says how old it is.
#include "tools/ledview/write_age.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

// rest * 1000 / frequency, rounded down, for 0 <= rest < frequency. Where
// the product could overflow (counters above 9.2e15 Hz, which only a test
// feeds in) it is summed up a thousand times, each partial sum below
// 2 * frequency, which fits in 64 unsigned bits.
int64_t RestMilliseconds(int64_t rest, int64_t frequency) {
  if (frequency <= INT64_MAX / 1000) return rest * 1000 / frequency;
  const uint64_t divisor = static_cast<uint64_t>(frequency);
  uint64_t remainder = 0;
  int64_t quotient = 0;
  for (int i = 0; i < 1000; ++i) {
    remainder += static_cast<uint64_t>(rest);
    if (remainder >= divisor) {
      remainder -= divisor;
      ++quotient;
    }
  }
  return quotient;
}

}  // namespace

void NoteDataWrites(const std::vector<JournalEntry>& entries, uint16_t dataPort, LastDataWrite* last) {
  for (const JournalEntry& entry : entries) {
    // A refused write changed no LED, and only byte writes reach the port.
    if (entry.kind != kJournalPortWrite || entry.address != dataPort || entry.size != 1 || entry.succeeded == 0) {
      continue;
    }
    *last = LastDataWrite{true, entry.time, static_cast<uint8_t>(entry.value & 0xFF)};
  }
}

int64_t TicksToMilliseconds(int64_t ticks, int64_t frequency) {
  if (ticks <= 0 || frequency <= 0) return 0;
  // Whole seconds and the remainder apart, so that ticks * 1000 never has to
  // fit.
  const int64_t seconds = ticks / frequency;
  const int64_t rest = ticks % frequency;
  constexpr int64_t kMaxSeconds = INT64_MAX / 1000 - 1;
  if (seconds > kMaxSeconds) return INT64_MAX;
  return seconds * 1000 + RestMilliseconds(rest, frequency);
}

std::string FormatAge(int64_t milliseconds) {
  constexpr int64_t kSecond = 1000;
  constexpr int64_t kMinute = 60 * kSecond;
  constexpr int64_t kHour = 60 * kMinute;
  std::array<char, 48> text{};
  const long long ms = milliseconds < 0 ? 0 : milliseconds;
  if (ms < kSecond) {
    std::snprintf(text.data(), text.size(), "%lld ms ago", ms);
  } else if (ms < kMinute) {
    // Tenths, cut rather than rounded so that 59.99 s never reads "60.0 s".
    std::snprintf(text.data(), text.size(), "%lld.%lld s ago", ms / kSecond, ms % kSecond / 100);
  } else if (ms < kHour) {
    std::snprintf(text.data(), text.size(), "%lld min %02lld s ago", ms / kMinute, ms % kMinute / kSecond);
  } else {
    std::snprintf(text.data(), text.size(), "%lld h %02lld min ago", ms / kHour, ms % kHour / kMinute);
  }
  return text.data();
}
