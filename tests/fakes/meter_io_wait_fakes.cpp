// Recording stand-in for the meter's pause after each LED byte.
#include "tests/fakes/meter_io_fakes.h"

WaitOutcome WaitAfterLedByte(int32_t milliseconds) {
  const bool stops = static_cast<int32_t>(fakes.waits.size()) == fakes.stopAtWait;
  fakes.waits.push_back(milliseconds);
  return stops ? fakes.stopWith : kWaitRanOut;
}
