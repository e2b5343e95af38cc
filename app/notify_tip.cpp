// Composing the notification icon's tooltip so that it always fits.
#include "app/notify_tip.h"

#include <cstdio>

namespace {

constexpr char kProgramPrefix[] = "Pipstack on ";
constexpr char kPausedSuffix[] = " - paused";
constexpr char kAwaySuffix[] = " - not connected";
constexpr char kProgramName[] = "Pipstack ";
constexpr char kValuesPrefix[] = "\nLEDs 1-8:";
constexpr char kCut[] = " ...";
constexpr char kVirtualSuffix[] = ", virtual port";

std::string ValuesLine(const MeterFrame& frame) {
  std::string line = kValuesPrefix;
  for (int32_t i = 0; i < kLedCount; ++i) {
    char text[16] = " -";
    if ((frame.darkLeds & LedBit(i)) == 0) std::snprintf(text, sizeof text, " %ld", static_cast<long>(frame.values[i]));
    line += text;
  }
  return line;
}

// Cuts the values line after the last whole value that fits with the cut
// mark; the head alone when not even one does.
std::string CutToFit(const std::string& head, const std::string& values) {
  if (head.size() >= kNotifyTipLimit) return head.substr(0, kNotifyTipLimit);
  const size_t room = kNotifyTipLimit - head.size();
  const size_t cut = sizeof kCut - 1;
  if (room <= cut) return head;
  const size_t lastSpace = values.rfind(' ', room - cut);
  if (lastSpace == std::string::npos || lastSpace < sizeof kValuesPrefix - 1) return head;
  return head + values.substr(0, lastSpace) + kCut;
}

}  // namespace

std::string PortLabel(const std::string& name, uint32_t address, bool virtualPort) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(address));
  std::string label;
  if (name.empty()) {
    label = hex;
  } else if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    label = name;
  } else {
    label = name + " (" + hex + ")";
  }
  return virtualPort ? label + kVirtualSuffix : label;
}

std::string FormatNotifyTip(const std::string& port, const MeterFrame& frame, bool paused, bool connected) {
  const std::string head = port + (connected ? "" : kAwaySuffix) + (paused ? kPausedSuffix : "");
  const std::string values = frame.written ? ValuesLine(frame) : "";
  const bool named = port.rfind(kProgramName, 0) == 0;
  const std::string full = (named ? "" : kProgramPrefix) + head + values;
  if (full.size() <= kNotifyTipLimit) return full;
  if (head.size() + values.size() <= kNotifyTipLimit) return head + values;
  return CutToFit(head, values);
}
