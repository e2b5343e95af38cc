// The virtual port's WinIO library (pipstack-virtual-port.dll) loaded for real
// from the build's program folder, its entry points resolved with their
// declared types.
#pragma once

#include "port/port_io_driver_win.h"

// The program's own binding table, filled here from the build's folder.
using WinIoLibrary = PortIoDriver;

// False when the library or an entry point is missing.
bool LoadWinIoLibrary(WinIoLibrary* library);
void FreeWinIoLibrary(WinIoLibrary* library);
