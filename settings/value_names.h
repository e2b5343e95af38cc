// The names of the settings' registry values; the per-LED ones are made from
// templates by putting the LED's digit in place of the 'x'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/meter_settings.h"

constexpr char kSourceNameTemplate[] = "LED x Source";
constexpr char kFloorNameTemplate[] = "LED x Floor";
constexpr char kCeilingNameTemplate[] = "LED x Ceiling";
constexpr char kWriteDelayName[] = "Write Delay";
constexpr char kInterpolationName[] = "Interpolation";

// Room for the longest template and its terminating zero.
constexpr std::size_t kValueNameSize = sizeof kCeilingNameTemplate;
static_assert(sizeof kSourceNameTemplate <= kValueNameSize && sizeof kFloorNameTemplate <= kValueNameSize,
              "every per-LED name fits the longest template's room");
static_assert(kLedCount <= 9, "an LED number is one digit");

using ValueName = std::array<char, kValueNameSize>;

// The template with LED index (0..7) shown as its number 1..8 in place of the
// first 'x'. The template must be zero-terminated within kValueNameSize bytes.
constexpr ValueName LedValueName(const char* nameTemplate, int32_t index) {
  ValueName name{};
  bool placed = false;
  for (std::size_t i = 0; i + 1 < name.size() && nameTemplate[i] != '\0'; ++i) {
    char c = nameTemplate[i];
    if (c == 'x' && !placed) {
      c = static_cast<char>('1' + index);
      placed = true;
    }
    name[i] = c;
  }
  return name;
}
