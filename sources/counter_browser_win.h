// Choosing an LED's counter in the system's counter browser.
#pragma once

#include <windows.h>

#include <cstdint>

// 0; 1 index outside 0..7; 2 the browser failed or was cancelled; otherwise
// the status of the SetCounterPath that applies the choice.
int32_t BrowseCounterForLed(HWND owner, int32_t index);
