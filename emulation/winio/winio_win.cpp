// The virtual port's entry points under WinIO's interface
// (pipstack-virtual-port.dll): every call goes to the shared machine under
// its lock and is journalled, so any process can watch.
#include "emulation/winio/virtual_port_calls_win.h"
#include "port/winio_api_win.h"

namespace {

// This process's view of the machine; open between InitializeWinIo and
// ShutdownWinIo. As with a real port-I/O library, nothing works before.
VirtualPortView machineView{};

bool Initialized() { return machineView.machine != nullptr; }

}  // namespace

bool __stdcall InitializeWinIo() {
  if (!Initialized() && OpenVirtualPort(kVirtualPortCreate, &machineView) != kVirtualPortOk) {
    CloseVirtualPort(&machineView);
    return false;
  }
  JournalCall(machineView, kJournalInitialize, 0, 0, 0, true);
  return true;
}

void __stdcall ShutdownWinIo() {
  if (!Initialized()) return;
  JournalCall(machineView, kJournalShutdown, 0, 0, 0, true);
  CloseVirtualPort(&machineView);
}

bool __stdcall GetPortVal(WORD portAddress, PDWORD portValue, BYTE size) {
  if (!Initialized() || portValue == nullptr) return false;
  uint32_t value = 0;
  if (!ReadPortCall(machineView, portAddress, size, &value)) return false;
  *portValue = value;
  return true;
}

bool __stdcall SetPortVal(WORD portAddress, DWORD portValue, BYTE size) {
  return Initialized() && WritePortCall(machineView, portAddress, portValue, size);
}

bool __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  if (!Initialized() || physicalValue == nullptr) return false;
  uint32_t value = 0;
  if (!ReadPhysicalCall(machineView, PhysicalAddress(physicalAddress), &value)) return false;
  *physicalValue = value;
  return true;
}

bool __stdcall SetPhysLong(PBYTE physicalAddress, DWORD physicalValue) {
  return Initialized() && WritePhysicalCall(machineView, PhysicalAddress(physicalAddress), physicalValue);
}

// Valid until ShutdownWinIo.
PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle) {
  if (!Initialized() || physicalMemoryHandle == nullptr) return nullptr;
  return MapPhysicalCall(machineView, PhysicalAddress(physicalAddress), physicalSize, physicalMemoryHandle);
}

bool __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress) {
  return Initialized() && UnmapPhysicalCall(machineView, physicalMemoryHandle, linearAddress);
}
