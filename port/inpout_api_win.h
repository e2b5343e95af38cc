// The entry points of the InpOut port-I/O library (inpoutx64.dll for 64-bit
// programs, inpout32.dll for 32-bit ones), with the prototypes that library
// publishes: the program's binding takes its slot types from here, and the
// virtual port's InpOut build checks its exports against them.
#pragma once

#include <windows.h>

// In a namespace of their own: InpOut's GetPhysLong has WinIO's name but
// another result type, so the two cannot both be declared as the C functions
// they are. Nothing here is defined in the program; only the types are used.
// All are __stdcall, which matters for a 32-bit build.
namespace inpout {
BOOL __stdcall IsInpOutDriverOpen();  // TRUE when its driver is open
void __stdcall Out32(short portAddress, short data);
short __stdcall Inp32(short portAddress);  // the byte read is the low 8 bits
UCHAR __stdcall DlPortReadPortUchar(USHORT port);
void __stdcall DlPortWritePortUchar(USHORT port, UCHAR value);
BOOL __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue);
PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle);
BOOL __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress);
}  // namespace inpout
