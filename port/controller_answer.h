// Reading what a serial device sends back: whether it is a Pipstack LED
// controller. Platform-free.
#pragma once

#include <cstddef>

#include "firmware/PipstackLeds/led_protocol.h"

// Takes count bytes as they arrived (a line may be split across calls, and
// anything may come before it); true when they complete the identity line.
// Any other line is passed over.
bool HeardIdentity(LedLineReader* reader, const char* bytes, size_t count);
