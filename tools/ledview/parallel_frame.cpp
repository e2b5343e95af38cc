// Titles and details of a parallel port's frame.
#include "tools/ledview/parallel_frame.h"

#include <array>
#include <cstdio>
#include <string>

#include "emulation/winio/virtual_machine.h"
#include "tools/ledview/write_age.h"

namespace {

// The port's name where the BIOS lists it ("LPT1"); empty for a port it does
// not list, such as a plug-in card, which is known by its address alone.
std::string PortName(uint16_t base) {
  for (int i = 0; i < kBiosParallelPortWords; ++i) {
    if (base != 0 && kPowerOnBiosPortWords[i] == base) return "LPT" + std::to_string(i + 1);
  }
  return "";
}

FrameDetail Register(const char* label, const char* shortLabel, uint8_t value) {
  return FrameDetail{label, HexByte(value) + "  " + BinaryByte(value, true), shortLabel,
                     HexByte(value) + " " + BinaryByte(value, false)};
}

}  // namespace

LedFrame ParallelFrame(const ParallelState& state) {
  const std::string port = PortName(state.base);
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "0x%X", static_cast<unsigned>(state.base));
  const std::string base = text.data();
  LedFrame frame{};
  frame.title = port.empty() ? "Pipstack LEDs at " + base : "Pipstack LEDs on " + port + " (" + base + ")";
  frame.shortTitle = port.empty() ? base : port + " " + base;
  frame.hasLeds = true;
  frame.leds = state.data;
  const std::string age = state.written ? FormatAge(state.writeAgeMs) : "none seen";
  frame.details = {
      Register("data     ", "D ", state.data),
      Register("control  ", "C ", state.control),
      {"last data write  ", age, "W ", age},
  };
  return frame;
}
