// The configuration dialog: every LED's window and source, the interpolation
// and the write delay, edited live; Close, Quit, the tests and the about box.
#pragma once

#include <windows.h>

#include <cstdint>

// Set while the dialog writes its own controls (a refresh) or stores the
// options, so that the notifications those writes raise are not read back
// as edits.
bool IsDialogBusy();
void SetDialogBusy(bool busy);

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Rewrites every control from the settings and the sources; does nothing
// while the dialog is busy.
void RefreshConfigDialog(HWND dialog);

// The longest text read back from an edit.
constexpr int kEditTextLimit = 254;
