// The virtual WinIO.dll loaded for real from the build's program folder, its
// entry points resolved with their declared types.
#pragma once

#include "port/winio_api.h"

struct WinIoLibrary {
  HMODULE module;
  decltype(&::InitializeWinIo) Initialize;
  decltype(&::ShutdownWinIo) Shutdown;
  decltype(&::GetPortVal) GetPortVal;
  decltype(&::SetPortVal) SetPortVal;
  decltype(&::GetPhysLong) GetPhysLong;
  decltype(&::SetPhysLong) SetPhysLong;
  decltype(&::MapPhysToLin) MapPhysToLin;
  decltype(&::UnmapPhysicalMemory) UnmapPhysicalMemory;
};

// False when the library or an entry point is missing.
bool LoadWinIoLibrary(WinIoLibrary* library);
void FreeWinIoLibrary(WinIoLibrary* library);
