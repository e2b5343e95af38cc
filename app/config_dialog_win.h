// The configuration dialog: every LED's window and source, the interpolation
// and the write delay, edited live; Close, Quit, the tests and the about box.
#pragma once

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Rewrites every control from the settings and the sources; does nothing
// while the dialog is already writing its controls or storing the options.
// The notifications its own writes raise are never read back as edits.
void RefreshConfigDialog(HWND dialog);

// The longest text read back from an edit.
constexpr int kEditTextLimit = 254;
