// The LED byte's picture (led_icon.h) as an icon of the system's small-icon
// size, for the notification area.
#pragma once

#include <windows.h>

#include <cstdint>

// A new icon the caller destroys; null when the system refused one.
HICON MakeLedIcon(uint8_t byte, bool paused);
