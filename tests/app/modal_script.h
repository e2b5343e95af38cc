// Drives a modal dialog or message box from inside its own message loop: a
// thread timer runs one step per tick against this thread's top-level window
// with the given caption, once that window exists.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using ModalStep = std::function<void(HWND)>;

// Steps run in order, one per tick. If the window is still open some time
// after the last step, the script ends it itself (EndDialog with
// kModalScriptForcedEnd) so that a faulty dialog fails its test instead of
// hanging it.
void StartModalScript(const char* caption, std::vector<ModalStep> steps);
// True when every step ran and the window was not forced closed.
bool ModalScriptSucceeded();
void StopModalScript();

constexpr INT_PTR kModalScriptForcedEnd = -99;

// This thread's top-level window with exactly this caption (a visible one
// unless told otherwise), or null. Other test processes may run at the same
// time, so a test never looks beyond its own thread.
HWND FindThreadWindow(const char* caption, bool visibleOnly = true);
// The texts of a window's children, in order.
std::vector<std::string> ChildTexts(HWND window);
