// The calls of the virtual port's libraries, shared by its two interfaces
// (WinIO's and InpOut's): each reaches the shared machine under its lock and
// is journalled, so that any process can watch.
#pragma once

#include <windows.h>

#include <cstdint>

#include "emulation/winio/virtual_port_view_win.h"

// Physical addresses come in the shape of pointers; the emulated machine has
// only the first megabyte, so anything wider is out of range anyway.
uint32_t PhysicalAddress(PBYTE address);

// Each on an open read-write view, taking the machine's lock for the call.
void JournalCall(const VirtualPortView& view, JournalKind kind, uint32_t address, uint32_t value, uint8_t size,
                 bool succeeded);
bool ReadPortCall(const VirtualPortView& view, uint16_t port, uint8_t size, uint32_t* value);
bool WritePortCall(const VirtualPortView& view, uint16_t port, uint32_t value, uint8_t size);
bool ReadPhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t* value);
bool WritePhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t value);
// The mapped bytes are the shared machine's own, and the handle is the
// section's: both stay valid while the view is open. Null outside the BIOS
// data area.
PBYTE MapPhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t size, HANDLE* handle);
bool UnmapPhysicalCall(const VirtualPortView& view, HANDLE handle, PBYTE linearAddress);
