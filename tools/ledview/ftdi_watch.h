// The viewer's hold on the emulated FTDI devices: one device's record turned
// into the state its frame shows.
#pragma once

#include <cstdint>

#include "tools/ledview/ftdi_frame.h"

// Opens the devices' machine (creating it at power-on when no process has it
// yet, and keeping it alive while the viewer runs). The status of
// OpenVirtualFtdi.
int32_t StartFtdiWatch(int slot);
FtdiState WatchFtdi();
// Harmless when not started.
void StopFtdiWatch();
