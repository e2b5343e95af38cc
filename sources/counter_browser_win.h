// Choosing an LED's counter in the system's counter browser.
#pragma once

#include <windows.h>

#include <cstdint>

enum BrowseCounterStatus : int32_t {
  kBrowseCounterBadIndex = 1,
  kBrowseCounterNoChoice = 2,  // the browser failed or was cancelled
};

// Shows the counter browser for the LED; a choice is applied with
// SetCounterPath, whose status is the result.
int32_t BrowseCounterForLed(HWND owner, int32_t index);
