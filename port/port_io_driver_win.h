// The binding table of WinIO.dll: the loaded library and its entry points.
#pragma once

#include <windows.h>

#include "port/port_io_driver.h"
#include "port/winio_api_win.h"

// Every slot has the type of its entry point's prototype, so a resolved
// address can only be stored and called as what the library declares.
struct PortIoDriver {
  HMODULE module;
  decltype(&::InitializeWinIo) InitializeWinIo;
  decltype(&::ShutdownWinIo) ShutdownWinIo;
  decltype(&::GetPortVal) GetPortVal;
  decltype(&::SetPortVal) SetPortVal;
  decltype(&::GetPhysLong) GetPhysLong;
  decltype(&::SetPhysLong) SetPhysLong;
  decltype(&::MapPhysToLin) MapPhysToLin;
  decltype(&::UnmapPhysicalMemory) UnmapPhysicalMemory;
};

// Null in every field while nothing is loaded; a failed binding leaves the
// library loaded and the slots resolved before the failure.
const PortIoDriver& CurrentPortIoDriver();
