// What another process holds, sampled from outside: memory, kernel handles,
// GDI and USER objects and top-level windows.
#pragma once

#include <windows.h>

#include <cstdint>

struct ProcessFigures {
  uint64_t workingSet;    // bytes
  uint64_t privateBytes;  // bytes committed for the process alone
  int32_t handles;        // kernel handles; -1 when they cannot be counted
  int32_t gdiObjects;     // as GetGuiResources tells; 0 where it does not
  int32_t userObjects;
  int32_t windows;  // top-level windows and their children
};

ProcessFigures SampleProcess(HANDLE process, DWORD processId);
