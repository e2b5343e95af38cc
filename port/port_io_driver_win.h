// The binding tables of the port-I/O libraries: WinIO's interface (WinIO.dll
// or the virtual port) and InpOut's, each the loaded library and its entry
// points.
#pragma once

#include <windows.h>

#include "port/inpout_api_win.h"
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

// Only what the program calls; a library without one of them is not used.
struct InpOutDriver {
  HMODULE module;
  decltype(&inpout::IsInpOutDriverOpen) IsInpOutDriverOpen;
  decltype(&inpout::DlPortReadPortUchar) DlPortReadPortUchar;
  decltype(&inpout::DlPortWritePortUchar) DlPortWritePortUchar;
  decltype(&inpout::GetPhysLong) GetPhysLong;
};

// WinIO's interface: WinIO.dll's table, or the virtual port's while that is
// in use. Null in every field while nothing is loaded; a failed binding of
// WinIO.dll leaves the library loaded and the slots resolved before the
// failure.
const PortIoDriver& CurrentPortIoDriver();
