// The hidden poll window that a second start finds and asks to show the
// configuration, and its configuration dialog.
#pragma once

#include <windows.h>

#include <cstdint>

// A second start finds the running program by these two names; they must
// not change.
constexpr char kPollWindowClass[] = "Pipstack";
constexpr char kPollWindowTitle[] = "Pipstack Poll Window";

extern HWND pollWindow;
extern HWND configDialog;

enum BackgroundWindowStatus : int32_t {
  kBackgroundWindowOk = 0,
  kBackgroundWindowNoClass = 1,   // the window class could not be registered
  kBackgroundWindowNoWindow = 2,  // the poll window or its dialog could not be created
};

// Registers the class, creates the poll window and with it the hidden
// configuration dialog; each destination present receives its handle.
int32_t CreateBackgroundWindow(HINSTANCE instance, HWND* pollWindowOut, HWND* configDialogOut);

LRESULT CALLBACK PollWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
