// The notification icon's tooltip: the port and every LED's value as the
// meter last compared it, within the tooltip's length. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/led_update.h"

// The tooltip holds 128 characters with its terminating zero.
constexpr size_t kNotifyTipLimit = 127;

// How the tooltip names the port: "LPT1 (0x378)"; an address given as the
// name ("0xD010") alone; the address alone when there is no name. On the
// virtual port it says so: "LPT1 (0x378), virtual port", since no real LEDs
// are lit then.
std::string PortLabel(const std::string& name, uint32_t address, bool virtualPort);

// "Pipstack on LPT1 (0x378)" (a label that names the program already, "Pipstack
// LED controller on COM5", stands alone), " - not connected" while a USB
// output's device is away, " - paused" while the dialog is shown, then
// "LEDs 1-8: " and the eight values once a frame was written (a dash for an
// LED that has no value). Text that would not fit drops "Pipstack on ", then
// values from the end ("..."), never exceeding kNotifyTipLimit.
std::string FormatNotifyTip(const std::string& port, const MeterFrame& frame, bool paused, bool connected = true);
