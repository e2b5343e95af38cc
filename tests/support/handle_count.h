// Counting a process's open handles under Wine, whose GetProcessHandleCount
// always answers 0: the system's handle table is asked instead.
#pragma once

#include <windows.h>

#include <cstdint>

// The handles the process holds, or -1 when the table cannot be read.
int32_t CountProcessHandles(DWORD processId);
