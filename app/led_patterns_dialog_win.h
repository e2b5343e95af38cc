// Test Sequences: plays the short or the full LED test; ends with 0.
#pragma once

#include <windows.h>

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
