// The hidden poll window that a second start finds and asks to show the
// configuration, and its configuration dialog.
#pragma once

#include <windows.h>

#include <cstdint>

// A second start finds the running program by these two names and sends it
// this message, both parameters 0, to have its configuration dialog shown.
// Other processes rely on all three: they must not change.
constexpr char kPollWindowClass[] = "Pipstack";
constexpr char kPollWindowTitle[] = "Pipstack Poll Window";
constexpr UINT kShowConfigMessage = WM_USER;

enum BackgroundWindowStatus : int32_t {
  kBackgroundWindowOk = 0,
  kBackgroundWindowNoClass = 1,   // the window class could not be registered
  kBackgroundWindowNoWindow = 2,  // the poll window or its dialog could not be created
};

// Registers the class, creates the poll window and with it the hidden
// configuration dialog.
int32_t CreateBackgroundWindow(HINSTANCE instance);

// The two windows; null before they are created and after they are gone.
HWND PollWindow();
HWND ConfigDialog();

// Destroys the poll window, which ends the program as Quit does.
void DestroyPollWindow();

LRESULT CALLBACK PollWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
