// Register, memory and journal calls of the virtual port's libraries.
#include "emulation/winio/virtual_port_calls_win.h"

namespace {

void Journal(const VirtualPortView& view, JournalKind kind, uint32_t address, uint32_t value, uint8_t size,
             bool succeeded) {
  AppendJournal(view.machine, StampedEntry(kind, address, value, size, succeeded));
}

}  // namespace

uint32_t PhysicalAddress(PBYTE address) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(address);
  return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

void JournalCall(const VirtualPortView& view, JournalKind kind, uint32_t address, uint32_t value, uint8_t size,
                 bool succeeded) {
  const VirtualPortLock held(view);
  Journal(view, kind, address, value, size, succeeded);
}

bool ReadPortCall(const VirtualPortView& view, uint16_t port, uint8_t size, uint32_t* value) {
  const VirtualPortLock held(view);
  uint32_t read = 0;
  const bool ok = MachineReadPort(view.machine, port, size, &read);
  if (ok) *value = read;
  Journal(view, kJournalPortRead, port, read, size, ok);
  return ok;
}

bool WritePortCall(const VirtualPortView& view, uint16_t port, uint32_t value, uint8_t size) {
  const VirtualPortLock held(view);
  const bool ok = MachineWritePort(view.machine, port, value, size);
  Journal(view, kJournalPortWrite, port, value, size, ok);
  return ok;
}

bool ReadPhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t* value) {
  const VirtualPortLock held(view);
  uint32_t read = 0;
  const bool ok = MachineReadPhysical(view.machine, address, &read);
  if (ok) *value = read;
  Journal(view, kJournalPhysicalRead, address, read, 4, ok);
  return ok;
}

bool WritePhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t value) {
  const VirtualPortLock held(view);
  const bool ok = MachineWritePhysical(view.machine, address, value);
  Journal(view, kJournalPhysicalWrite, address, value, 4, ok);
  return ok;
}

PBYTE MapPhysicalCall(const VirtualPortView& view, uint32_t address, uint32_t size, HANDLE* handle) {
  const VirtualPortLock held(view);
  uint8_t* bytes = MachinePhysicalBytes(view.machine, address, size);
  if (bytes != nullptr) *handle = view.section;
  Journal(view, kJournalMapMemory, address, size, 0, bytes != nullptr);
  return bytes;
}

bool UnmapPhysicalCall(const VirtualPortView& view, HANDLE handle, PBYTE linearAddress) {
  const VirtualPortLock held(view);
  const uint8_t* first = view.machine->biosDataArea.data();
  const bool ok = handle == view.section && linearAddress >= first && linearAddress < first + kBiosDataAreaSize;
  const uint32_t address = ok ? kBiosDataAreaStart + static_cast<uint32_t>(linearAddress - first) : 0;
  Journal(view, kJournalUnmapMemory, address, 0, 0, ok);
  return ok;
}
