// Opening the emulated FTDI devices' shared section and its mutex, the
// copies watchers take, and the knobs tests turn.
#include "emulation/ftdi/virtual_ftdi_view_win.h"

namespace {

int64_t TimerFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

int64_t CreationTime(HANDLE process) {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return static_cast<int64_t>(uint64_t{created.dwHighDateTime} << 32 | created.dwLowDateTime);
}

int32_t MapSection(VirtualFtdiAccess access, VirtualFtdiView* view, bool* created) {
  constexpr DWORD kSize = sizeof(FtdiMachine);
  if (access == kVirtualFtdiCreate) {
    view->section =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, kVirtualFtdiSectionName);
    *created = view->section != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
  } else {
    const DWORD rights = access == kVirtualFtdiReadOnly ? FILE_MAP_READ : FILE_MAP_READ | FILE_MAP_WRITE;
    view->section = OpenFileMappingA(rights, FALSE, kVirtualFtdiSectionName);
  }
  if (view->section == nullptr) return kVirtualFtdiNoSection;
  const DWORD mapping = access == kVirtualFtdiReadOnly ? FILE_MAP_READ : FILE_MAP_WRITE;
  view->machine = static_cast<FtdiMachine*>(MapViewOfFile(view->section, mapping, 0, 0, kSize));
  return view->machine == nullptr ? kVirtualFtdiNoView : kVirtualFtdiOk;
}

void Journal(const VirtualFtdiView& view, FtdiJournalKind kind, int slot, uint32_t value) {
  AppendFtdiJournal(view.machine, StampedFtdiEntry(kind, slot, value, 0, kFtOk));
}

}  // namespace

int32_t OpenVirtualFtdi(VirtualFtdiAccess access, VirtualFtdiView* view) {
  *view = VirtualFtdiView{};
  // Every opener creates the mutex, so that it exists before anyone maps.
  view->lock = CreateMutexA(nullptr, FALSE, kVirtualFtdiLockName);
  if (view->lock == nullptr) return kVirtualFtdiNoLock;

  int32_t status = kVirtualFtdiOk;
  {
    const VirtualFtdiLock held(*view);
    bool created = false;
    status = MapSection(access, view, &created);
    if (status == kVirtualFtdiOk) {
      // Powered on while the mutex is held, so no one sees it half made.
      if (created) PowerOnFtdiMachine(view->machine, TimerFrequency());
      if (view->machine->magic != kFtdiMachineMagic || view->machine->layout != kFtdiMachineLayout) {
        status = kVirtualFtdiWrongLayout;
      }
    }
  }
  if (status != kVirtualFtdiOk) CloseVirtualFtdi(view);
  return status;
}

void CloseVirtualFtdi(VirtualFtdiView* view) {
  if (view->machine != nullptr) UnmapViewOfFile(view->machine);
  if (view->section != nullptr) CloseHandle(view->section);
  if (view->lock != nullptr) CloseHandle(view->lock);
  *view = VirtualFtdiView{};
}

// WAIT_ABANDONED hands the mutex over too: a holder that ended inside left
// at worst one call half done, and every call leaves the devices whole.
VirtualFtdiLock::VirtualFtdiLock(const VirtualFtdiView& view) : lock_(view.lock) {
  WaitForSingleObject(lock_, INFINITE);
}

VirtualFtdiLock::~VirtualFtdiLock() { ReleaseMutex(lock_); }

FtdiProcess ThisFtdiProcess() { return FtdiProcess{GetCurrentProcessId(), CreationTime(GetCurrentProcess())}; }

FtdiDeviceSnapshot PeekFtdiDevice(const VirtualFtdiView& view, int slot) {
  const VirtualFtdiLock held(view);
  const FtdiDevice& device = view.machine->devices[slot];
  return FtdiDeviceSnapshot{device, device.openElsewhere != 0 || FtdiOpenerRuns(device)};
}

uint64_t FtdiJournalTotal(const VirtualFtdiView& view) {
  const VirtualFtdiLock held(view);
  return view.machine->journalTotal;
}

std::vector<FtdiJournalEntry> ReadFtdiJournal(const VirtualFtdiView& view, uint64_t afterSequence) {
  std::vector<FtdiJournalEntry> entries;
  const VirtualFtdiLock held(view);
  ForEachFtdiJournalEntry(*view.machine, afterSequence,
                          [&entries](const FtdiJournalEntry& entry) { entries.push_back(entry); });
  return entries;
}

void PowerOnVirtualFtdi(const VirtualFtdiView& view) {
  const VirtualFtdiLock held(view);
  ResetFtdiDevices(view.machine);
  Journal(view, kFtdiJournalPowerOn, kFtdiNoSlot, 0);
}

void PlugVirtualFtdi(const VirtualFtdiView& view, int slot, bool plugged) {
  const VirtualFtdiLock held(view);
  FtdiDevice* device = &view.machine->devices[slot];
  if (plugged) {
    PlugFtdiDevice(device);
  } else {
    UnplugFtdiDevice(device);
  }
  Journal(view, plugged ? kFtdiJournalPlug : kFtdiJournalUnplug, slot, 0);
}

void SetFtdiRefusesBitBang(const VirtualFtdiView& view, int slot, bool refuses) {
  const VirtualFtdiLock held(view);
  view.machine->devices[slot].refusesBitBang = refuses ? 1 : 0;
  Journal(view, kFtdiJournalRefuseBitBang, slot, refuses ? 1 : 0);
}

void SetFtdiOpenElsewhere(const VirtualFtdiView& view, int slot, bool openElsewhere) {
  const VirtualFtdiLock held(view);
  view.machine->devices[slot].openElsewhere = openElsewhere ? 1 : 0;
  Journal(view, kFtdiJournalOpenElsewhere, slot, openElsewhere ? 1 : 0);
}

// A process id alone could name a newer process by now, so the opener's
// creation time must match too. A process that cannot be asked (another
// user's) is taken to run.
bool FtdiOpenerRuns(const FtdiDevice& device) {
  if (device.openerProcessId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, device.openerProcessId);
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT && CreationTime(process) == device.openerStarted;
  CloseHandle(process);
  return runs;
}

void ReleaseEndedFtdiOpeners(const VirtualFtdiView& view) {
  for (int slot = 0; slot < kFtdiSlotCount; ++slot) {
    FtdiDevice* device = &view.machine->devices[slot];
    if (device->openerProcessId == 0 || FtdiOpenerRuns(*device)) continue;
    const uint32_t ended = device->openerProcessId;
    CloseFtdiDevice(device);
    Journal(view, kFtdiJournalOpenerEnded, slot, ended);
  }
}

FtdiJournalEntry StampedFtdiEntry(FtdiJournalKind kind, int slot, uint32_t value, uint32_t detail, uint32_t status) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  FtdiJournalEntry entry{};
  entry.time = now.QuadPart;
  entry.processId = GetCurrentProcessId();
  entry.value = value;
  entry.detail = detail;
  entry.status = status;
  entry.kind = kind;
  entry.slot = static_cast<int8_t>(slot);
  return entry;
}
