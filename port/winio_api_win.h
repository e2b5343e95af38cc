// The entry points of the port-I/O library WinIO.dll, with their real
// prototypes: the program's binding takes its slot types from here, and the
// virtual port defines its exports against the same declarations.
#pragma once

#include <windows.h>

extern "C" {
// Results are one-byte C++ bool; __stdcall matters for a 32-bit build.
bool __stdcall InitializeWinIo();
void __stdcall ShutdownWinIo();
bool __stdcall GetPortVal(WORD portAddress, PDWORD portValue, BYTE size);
bool __stdcall SetPortVal(WORD portAddress, DWORD portValue, BYTE size);
bool __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue);
bool __stdcall SetPhysLong(PBYTE physicalAddress, DWORD physicalValue);
PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle);
bool __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress);
}
