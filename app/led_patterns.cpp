// Playing the test patterns: write, hold, stop at the first failed write.
#include "app/led_patterns.h"

#include "core/meter_io.h"

namespace {

template <std::size_t N>
void PlaySequence(const std::array<uint8_t, N>& bytes, int32_t holdMs, const char* completeText) {
  for (const uint8_t value : bytes) {
    if (WriteLedByte(value) != 0) break;  // no pause after a failed write
    SleepMilliseconds(holdMs);
  }
  // Shown whether or not the sequence ran to its end; a failure is not reported.
  ShowTestComplete(completeText);
}

}  // namespace

void RunShortTest() { PlaySequence(kShortTestBytes, kShortTestHoldMs, kShortTestCompleteText); }

void RunFullTest() { PlaySequence(kFullTestBytes, kFullTestHoldMs, kFullTestCompleteText); }
