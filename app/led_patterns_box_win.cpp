// The box that reports the end of a test sequence.
#include <windows.h>

#include "app/led_patterns.h"

void ShowTestComplete(const char* text) {
  // No owner: the box disables no window, so the Test Sequences dialog
  // still takes clicks while it is up.
  MessageBoxA(nullptr, text, "Pipstack", MB_OK | MB_ICONINFORMATION);
}
