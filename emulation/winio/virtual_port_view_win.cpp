// Opening the virtual port's shared section, its lock, and the reads and
// changes other processes make through it.
#include "emulation/winio/virtual_port_view_win.h"

#include "emulation/winio/machine_lock_win.h"

namespace {

int64_t TimerFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int32_t MapSection(VirtualPortAccess access, VirtualPortView* view, bool* created) {
  constexpr DWORD kSize = sizeof(VirtualMachine);
  if (access == kVirtualPortCreate) {
    view->section =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, kVirtualPortSectionName);
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

// Holds the opening lock for its scope.
class OpeningLock {
 public:
  // Every opener creates it, so that it exists before anyone maps.
  OpeningLock() : mutex_(CreateMutexA(nullptr, FALSE, kVirtualPortOpenLockName)) {
    // WAIT_ABANDONED hands it over too: an opener that ended left at worst
    // a section that the layout check turns away.
    if (mutex_ != nullptr) WaitForSingleObject(mutex_, INFINITE);
  }
  ~OpeningLock() {
    if (mutex_ == nullptr) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
  }
  OpeningLock(const OpeningLock&) = delete;
  OpeningLock& operator=(const OpeningLock&) = delete;
  bool Held() const { return mutex_ != nullptr; }

 private:
  HANDLE mutex_;
};

}  // namespace

int32_t OpenVirtualPort(VirtualPortAccess access, VirtualPortView* view) {
  *view = VirtualPortView{};
  const OpeningLock opening;
  if (!opening.Held()) return kVirtualPortNoLock;

  bool created = false;
  int32_t status = MapSection(access, view, &created);
  if (status == kVirtualPortOk) {
    // The creator powers the machine on while it holds the opening lock,
    // so no other process ever sees it half made.
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
  *view = VirtualPortView{};
}

VirtualPortLock::VirtualPortLock(const VirtualPortView& view) : machine_(view.machine) { LockMachine(machine_); }

VirtualPortLock::~VirtualPortLock() { UnlockMachine(machine_); }

PortRegisters PeekPortRegisters(const VirtualPortView& view, int portIndex) {
  PortRegisters registers{};
  ReadMachineConsistently(view.machine, [&] { registers = view.machine->ports[portIndex]; });
  return registers;
}

uint16_t PeekBiosPortWord(const VirtualPortView& view, int portIndex) {
  uint16_t word = 0;
  ReadMachineConsistently(view.machine, [&] { word = BiosPortWord(view.machine, portIndex); });
  return word;
}

uint64_t JournalTotal(const VirtualPortView& view) {
  return view.machine->journalTotal.load(std::memory_order_acquire);
}

// Without the lock, so that a busy writer never holds a reader up: an entry
// overwritten while it was copied is lost like any older one, and the copy
// starts again after it so that what is returned has no gaps.
std::vector<JournalEntry> ReadJournal(const VirtualPortView& view, uint64_t afterSequence) {
  std::vector<JournalEntry> entries;
  const uint64_t total = JournalTotal(view);
  const uint64_t oldestHeld = total > kJournalLength ? total - kJournalLength + 1 : 1;
  if (afterSequence >= total) return entries;
  const uint64_t first = afterSequence + 1 > oldestHeld ? afterSequence + 1 : oldestHeld;
  entries.reserve(total - first + 1);
  for (uint64_t sequence = first; sequence <= total; ++sequence) {
    JournalEntry entry;
    if (ReadJournalEntry(view.machine, sequence, &entry)) {
      entries.push_back(entry);
    } else {
      entries.clear();
    }
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
  const uint32_t address = kBiosPortTable + 2 * static_cast<uint32_t>(portIndex);
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
