// The virtual port's WinIO.dll entry points: every call goes to the shared
// machine under its lock and is journalled, so any process can watch.
#include "emulation/winio/virtual_port_view_win.h"
#include "port/winio_api_win.h"

namespace {

// This process's view of the machine; open between InitializeWinIo and
// ShutdownWinIo. As with a real port-I/O library, nothing works before.
VirtualPortView machineView{};

bool Initialized() { return machineView.machine != nullptr; }

uint32_t PhysicalAddress(PBYTE address) {
  // Physical addresses come in the shape of pointers; the emulated machine
  // has only the first megabyte, so anything wider is out of range anyway.
  const uintptr_t value = reinterpret_cast<uintptr_t>(address);
  return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

void Journal(JournalKind kind, uint32_t address, uint32_t value, uint8_t size, bool succeeded) {
  AppendJournal(machineView.machine, StampedEntry(kind, address, value, size, succeeded));
}

}  // namespace

bool __stdcall InitializeWinIo() {
  if (!Initialized() && OpenVirtualPort(kVirtualPortCreate, &machineView) != kVirtualPortOk) {
    CloseVirtualPort(&machineView);
    return false;
  }
  const VirtualPortLock held(machineView);
  Journal(kJournalInitialize, 0, 0, 0, true);
  return true;
}

void __stdcall ShutdownWinIo() {
  if (!Initialized()) return;
  {
    const VirtualPortLock held(machineView);
    Journal(kJournalShutdown, 0, 0, 0, true);
  }
  CloseVirtualPort(&machineView);
}

bool __stdcall GetPortVal(WORD portAddress, PDWORD portValue, BYTE size) {
  if (!Initialized() || portValue == nullptr) return false;
  const VirtualPortLock held(machineView);
  uint32_t value = 0;
  const bool ok = MachineReadPort(machineView.machine, portAddress, size, &value);
  if (ok) *portValue = value;
  Journal(kJournalPortRead, portAddress, value, size, ok);
  return ok;
}

bool __stdcall SetPortVal(WORD portAddress, DWORD portValue, BYTE size) {
  if (!Initialized()) return false;
  const VirtualPortLock held(machineView);
  const bool ok = MachineWritePort(machineView.machine, portAddress, portValue, size);
  Journal(kJournalPortWrite, portAddress, portValue, size, ok);
  return ok;
}

bool __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  if (!Initialized() || physicalValue == nullptr) return false;
  const VirtualPortLock held(machineView);
  const uint32_t address = PhysicalAddress(physicalAddress);
  uint32_t value = 0;
  const bool ok = MachineReadPhysical(machineView.machine, address, &value);
  if (ok) *physicalValue = value;
  Journal(kJournalPhysicalRead, address, value, 4, ok);
  return ok;
}

bool __stdcall SetPhysLong(PBYTE physicalAddress, DWORD physicalValue) {
  if (!Initialized()) return false;
  const VirtualPortLock held(machineView);
  const uint32_t address = PhysicalAddress(physicalAddress);
  const bool ok = MachineWritePhysical(machineView.machine, address, physicalValue);
  Journal(kJournalPhysicalWrite, address, physicalValue, 4, ok);
  return ok;
}

// The mapped bytes are the shared machine's own, and the handle is the
// section's: both stay valid until ShutdownWinIo.
PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle) {
  if (!Initialized() || physicalMemoryHandle == nullptr) return nullptr;
  const VirtualPortLock held(machineView);
  const uint32_t address = PhysicalAddress(physicalAddress);
  uint8_t* bytes = MachinePhysicalBytes(machineView.machine, address, physicalSize);
  if (bytes != nullptr) *physicalMemoryHandle = machineView.section;
  Journal(kJournalMapMemory, address, physicalSize, 0, bytes != nullptr);
  return bytes;
}

bool __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress) {
  if (!Initialized()) return false;
  const VirtualPortLock held(machineView);
  const uint8_t* first = machineView.machine->biosDataArea.data();
  const bool ok = physicalMemoryHandle == machineView.section && linearAddress >= first &&
                  linearAddress < first + kBiosDataAreaSize;
  const uint32_t address = ok ? kBiosDataAreaStart + static_cast<uint32_t>(linearAddress - first) : 0;
  Journal(kJournalUnmapMemory, address, 0, 0, ok);
  return ok;
}
