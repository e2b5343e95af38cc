// The update cycle in its two modes, direct and interpolated.
#include "core/led_update.h"

#include "core/meter_settings.h"

namespace {

// The interpolation source's value at the end of the last interpolated cycle.
int32_t lastSample = 0;

// An interpolated cycle shows eight frames between two samples.
constexpr int32_t kFramesPerSample = 8;

MeterFrame lastFrame{};

// Composes the byte for the values and writes it; a frame that reached the
// port is kept for whoever shows the meter elsewhere.
bool WriteFrame(const LedValues& values, LedMask darkLeds) {
  const uint8_t byte = ComposeFrame(values, darkLeds);
  if (WriteLedByte(byte) != 0) return false;
  lastFrame = MeterFrame{values, darkLeds, byte, true};
  return true;
}

int32_t UpdateDirect(int32_t writeDelay) {
  LedValues values{};
  if (SampleAll(&values) != 0) return kUpdateSampleAllFailed;
  if (!WriteFrame(values, DarkLeds())) return kUpdateDirectWriteFailed;
  WaitAfterLedByte(writeDelay);  // the cycle ends here either way
  return kUpdateOk;
}

int32_t UpdateInterpolated(int32_t sourceLed, int32_t writeDelay) {
  // A dark source has no value to glide to: the frames stay where the glide
  // starts, with every LED dark, at the usual pace.
  const bool sourceDark = (DarkLeds() & LedBit(sourceLed)) != 0;
  const LedMask frameDark = sourceDark ? kEveryLed : kNoLeds;
  int32_t newSample = lastSample;
  if (!sourceDark && SampleOne(sourceLed, &newSample) != 0) return kUpdateSampleOneFailed;

  // In 64 bits the difference of any two samples fits, the eighth of it
  // truncates toward zero, and every frame lies between the two samples, so
  // it fits in 32 bits again.
  const int64_t step = (int64_t{newSample} - lastSample) / kFramesPerSample;
  for (int32_t k = 0; k < kFramesPerSample; ++k) {
    const auto frameValue = static_cast<int32_t>(lastSample + k * step);
    LedValues values{};
    values.fill(frameValue);
    if (!WriteFrame(values, frameDark)) return kUpdateInterpolatedWriteFailed;
    const WaitOutcome waited = WaitAfterLedByte(writeDelay);
    if (waited == kWaitRanOut) continue;
    // The rest of the glide is not shown. After a pause the next cycle glides
    // on from what the LEDs show now; a program that ends keeps its sample.
    if (waited == kWaitPaused) lastSample = frameValue;
    return kUpdateOk;
  }
  lastSample = newSample;
  return kUpdateOk;
}

}  // namespace

uint8_t ComposeFrame(const LedValues& values, LedMask darkLeds) {
  // Fetched once: the settings live in another file, so a call per LED is
  // not folded away and costs more than the comparison itself.
  const auto& leds = LedChannels();
  int32_t byte = 0;
  for (int32_t i = 0; i < kLedCount; ++i) {
    if ((darkLeds & LedBit(i)) != 0) continue;  // no value: in no window, whatever the window
    const LedChannel& led = leds[i];
    if (led.floor <= values[i] && values[i] <= led.ceiling) byte += led.weight;
  }
  return static_cast<uint8_t>(byte);
}

int32_t UpdateLeds() {
  const MeterOptions options = CurrentMeterOptions();
  if (options.interpolationLed == kInterpolationOff) return UpdateDirect(options.writeDelay);
  return UpdateInterpolated(options.interpolationLed, options.writeDelay);
}

int32_t LastSample() { return lastSample; }

const MeterFrame& LastMeterFrame() { return lastFrame; }

void ResetLedUpdate() {
  lastSample = 0;
  lastFrame = MeterFrame{};
}
