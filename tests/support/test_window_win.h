// A window class of a test's own, for tests that need a real window and
// message queue under Wine.
#pragma once

#include <windows.h>

// Registers the class in this program; 0 when it could not, or when a
// class of that name is already registered (an earlier test's).
inline ATOM RegisterTestWindowClass(const char* name, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc);
}
