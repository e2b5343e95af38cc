// Opening the virtual port's shared section, its lock, and the reads and
// changes other processes make through it.
#include "emulation/winio/virtual_port_view.h"

namespace {

int64_t TimerFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int32_t MapSection(VirtualPortAccess access, VirtualPortView* view, bool* created) {
  constexpr DWORD kSize = sizeof(VirtualMachine);
  if (access == kVirtualPortCreate) {
    view->section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                       kVirtualPortSectionName);
    *created = view->section != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
  } else {
    const DWORD rights = access == kVirtualPortReadOnly ? FILE_MAP_READ : FILE_MAP_READ | FILE_MAP_WRITE;
    view->section = OpenFileMappingA(rights, FALSE, kVirtualPortSectionName);
  }
  if (view->section == nullptr) return kVirtualPortNoSection;

  const DWORD mapping = access == kVirtualPortReadOnly ? FILE_MAP_READ : FILE_MAP_WRITE;
  view->machine = static_cast<VirtualMachine*>(MapViewOfFile(view->section, mapping, 0, 0, kSize));
  return view->machine == nullptr ? kVirtualPortNoView : kVirtualPortOk;
}

}  // namespace

int32_t OpenVirtualPort(VirtualPortAccess access, VirtualPortView* view) {
  *view = VirtualPortView{};
  // Every opener creates the lock, so that it exists before anyone maps.
  view->lock = CreateMutexA(nullptr, FALSE, kVirtualPortLockName);
  if (view->lock == nullptr) return kVirtualPortNoLock;

  const VirtualPortLock held(*view);
  bool created = false;
  int32_t status = MapSection(access, view, &created);
  if (status == kVirtualPortOk) {
    // The creator powers the machine on while it holds the lock, so no
    // other process ever sees it half made.
    if (created) PowerOnMachine(view->machine, TimerFrequency());
    if (view->machine->magic != kMachineMagic || view->machine->layout != kMachineLayout) {
      status = kVirtualPortWrongLayout;
    }
  }
  if (status != kVirtualPortOk) {
    if (view->machine != nullptr) UnmapViewOfFile(view->machine);
    if (view->section != nullptr) CloseHandle(view->section);
    view->machine = nullptr;
    view->section = nullptr;
  }
  return status;
}

void CloseVirtualPort(VirtualPortView* view) {
  if (view->machine != nullptr) UnmapViewOfFile(view->machine);
  if (view->section != nullptr) CloseHandle(view->section);
  if (view->lock != nullptr) CloseHandle(view->lock);
  *view = VirtualPortView{};
}

VirtualPortLock::VirtualPortLock(const VirtualPortView& view) : lock_(view.lock) {
  // WAIT_ABANDONED also hands over the lock; the machine's state is whole
  // between any two of its operations.
  WaitForSingleObject(lock_, INFINITE);
}

VirtualPortLock::~VirtualPortLock() { ReleaseMutex(lock_); }

PortRegisters PeekPortRegisters(const VirtualPortView& view, int portIndex) {
  const VirtualPortLock held(view);
  return view.machine->ports[portIndex];
}

uint16_t PeekBiosPortWord(const VirtualPortView& view, int portIndex) {
  const VirtualPortLock held(view);
  return BiosPortWord(view.machine, portIndex);
}

uint64_t JournalTotal(const VirtualPortView& view) {
  const VirtualPortLock held(view);
  return view.machine->journalTotal;
}

std::vector<JournalEntry> ReadJournal(const VirtualPortView& view, uint64_t afterSequence) {
  const VirtualPortLock held(view);
  const uint64_t total = view.machine->journalTotal;
  const uint64_t oldestHeld = total > kJournalLength ? total - kJournalLength + 1 : 1;
  std::vector<JournalEntry> entries;
  if (afterSequence >= total) return entries;
  const uint64_t first = afterSequence + 1 > oldestHeld ? afterSequence + 1 : oldestHeld;
  for (uint64_t sequence = first; sequence <= total; ++sequence) {
    entries.push_back(view.machine->journal[(sequence - 1) % kJournalLength]);
  }
  return entries;
}

void ResetVirtualPort(const VirtualPortView& view) {
  const VirtualPortLock held(view);
  ResetMachine(view.machine);
  AppendJournal(view.machine, StampedEntry(kJournalReset, 0, 0, 0, true));
}

void SetBiosPortBase(const VirtualPortView& view, int portIndex, uint16_t base) {
  const VirtualPortLock held(view);
  SetBiosPortWord(view.machine, portIndex, base);
  const uint32_t address = kBiosParallelPortTable + 2 * static_cast<uint32_t>(portIndex);
  AppendJournal(view.machine, StampedEntry(kJournalPhysicalWrite, address, base, 2, true));
}

JournalEntry StampedEntry(JournalKind kind, uint32_t address, uint32_t value, uint8_t size, bool succeeded) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  JournalEntry entry{};
  entry.time = now.QuadPart;
  entry.processId = GetCurrentProcessId();
  entry.address = address;
  entry.value = value;
  entry.kind = kind;
  entry.size = size;
  entry.succeeded = succeeded ? 1 : 0;
  return entry;
}
