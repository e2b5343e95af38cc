// The about box; ends with 0.
#pragma once

#include <windows.h>

#include <string>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The LEDs' output when it is no parallel port ("Pipstack LED controller on
// COM5"), which the box names above OK; empty for none.
void SetAboutOutputName(const std::string& name);
