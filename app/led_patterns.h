// The two LED test patterns the Test Sequences dialog plays straight to the
// port, bypassing the meter. Platform-free: written over WriteLedByte and
// SleepMilliseconds (core/meter_io.h) and ShowTestComplete below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Dots, then lines: a single LED running up and back, a bar growing and
// shrinking, all off between and at both ends.
// clang-format off
constexpr std::array<uint8_t, 33> kShortTestBytes{
    0,
    1, 2, 4, 8, 16, 32, 64, 128, 64, 32, 16, 8, 4, 2, 1,
    0,
    1, 3, 7, 15, 31, 63, 127, 255, 127, 63, 31, 15, 7, 3, 1,
    0,
};
// clang-format on

// Every possible display, 0 to 255 in ascending order.
constexpr std::array<uint8_t, 256> MakeFullTestBytes() {
  std::array<uint8_t, 256> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  return bytes;
}
constexpr std::array<uint8_t, 256> kFullTestBytes = MakeFullTestBytes();

constexpr int32_t kShortTestHoldMs = 250;  // 33 bytes: 8.25 s in all
constexpr int32_t kFullTestHoldMs = 50;    // 256 bytes: 12.8 s in all

constexpr char kShortTestCompleteText[] = "Short test complete!";
constexpr char kFullTestCompleteText[] = "Full test complete!";

// Each plays its bytes, holding every one for its hold time, and stops at the
// first failed write; either way it ends with the completion box.
void RunShortTest();
void RunFullTest();

// Shows the completion text in a box with no owner, caption "Pipstack" and
// the information icon; returns when it is dismissed. Defined in its own
// file on the platform side; test programs link a recording stand-in.
void ShowTestComplete(const char* text);
