// Our ftd2xx.dll: FTDI's D2XX calls on the emulated devices of the shared
// machine, each journalled with what it answered, so that the program runs
// with no FTDI hardware and any process can watch.
//
// Like the real library it has no initialise call: the first call opens the
// machine (creating it at power-on when no process has it yet), and
// releasing the library closes it. Handles and the device list taken by
// FT_CreateDeviceInfoList belong to this process.
#include <cstddef>
#include <cstring>
#include <vector>

#include "core/scoped_win.h"
#include "emulation/ftdi/virtual_ftdi_view_win.h"
#include "port/d2xx_api_win.h"

namespace {

struct ListedDevice {
  FT_DEVICE_LIST_INFO_NODE node;
  int slot;
};

// A handle of this process: it names an open by its serial. The open is
// over when the device's open serial is another (an unplug, a power-on),
// and the handle then stays valid, though dead, until FT_Close.
struct OpenHandle {
  uint32_t serial;
  int slot;
};

SRWLOCK openingLock = SRWLOCK_INIT;
VirtualFtdiView machineView{};
FtdiProcess self{};
// Both are changed only while the machine's mutex is held, which also
// orders this process's threads.
std::vector<ListedDevice> listed;
std::vector<OpenHandle> handles;

bool MachineOpen() {
  const ScopedExclusiveLock held(openingLock);
  if (machineView.machine != nullptr) return true;
  if (OpenVirtualFtdi(kVirtualFtdiCreate, &machineView) != kVirtualFtdiOk) return false;
  self = ThisFtdiProcess();
  return true;
}

FtdiDevice& Device(int slot) { return machineView.machine->devices[slot]; }

// Journals a call and hands back what it answers.
FT_STATUS Answer(FtdiJournalKind kind, int slot, uint32_t value, uint32_t detail, FT_STATUS status) {
  AppendFtdiJournal(machineView.machine, StampedFtdiEntry(kind, slot, value, detail, status));
  return status;
}

FT_HANDLE HandleOf(uint32_t serial) { return reinterpret_cast<FT_HANDLE>(static_cast<uintptr_t>(serial)); }

// This process's handle that value names; null for anything else.
OpenHandle* Find(FT_HANDLE value) {
  const uintptr_t serial = reinterpret_cast<uintptr_t>(value);
  for (OpenHandle& handle : handles) {
    if (serial != 0 && handle.serial == serial) return &handle;
  }
  return nullptr;
}

bool Alive(const OpenHandle& handle) { return Device(handle.slot).openSerial == handle.serial; }

// In use by a process that runs (ended ones were given up before), or by
// the knob that plays one outside the machine.
bool InUse(const FtdiDevice& device) { return device.openElsewhere != 0 || device.openerProcessId != 0; }

std::vector<int> PluggedSlots() {
  std::vector<int> slots;
  for (int slot = 0; slot < kFtdiSlotCount; ++slot) {
    if (Device(slot).plugged != 0) slots.push_back(slot);
  }
  return slots;
}

// The guide: a device open in another process shows only its flags; one
// open when the list is made shows no location.
ListedDevice Listing(int slot) {
  const FtdiDevice& device = Device(slot);
  ListedDevice entry{};
  entry.slot = slot;
  OpenHandle* ours = nullptr;
  for (OpenHandle& handle : handles) {
    if (handle.slot == slot && Alive(handle)) ours = &handle;
  }
  if (InUse(device)) entry.node.Flags = kFtFlagsOpened;
  if (InUse(device) && ours == nullptr) return entry;
  entry.node.Type = device.type;
  entry.node.ID = device.id;
  entry.node.LocId = ours == nullptr ? device.locationId : 0;
  std::memcpy(entry.node.SerialNumber, device.serialNumber, sizeof entry.node.SerialNumber);
  std::memcpy(entry.node.Description, device.description, sizeof entry.node.Description);
  entry.node.ftHandle = ours == nullptr ? nullptr : HandleOf(ours->serial);
  return entry;
}

// Opens slot for this process, or says why not: the device is there, but in
// use (by another process, or already by this one).
FT_STATUS OpenSlot(int slot, FT_HANDLE* handle) {
  if (InUse(Device(slot))) return kFtDeviceNotOpened;
  const uint32_t serial = OpenFtdiDevice(machineView.machine, slot, self.id, self.started);
  handles.push_back(OpenHandle{serial, slot});
  *handle = HandleOf(serial);
  return kFtOk;
}

bool Matches(const FtdiDevice& device, PVOID argument, DWORD flags) {
  switch (flags) {
    case kFtOpenBySerialNumber:
      return std::strcmp(static_cast<const char*>(argument), device.serialNumber) == 0;
    case kFtOpenByDescription:
      return std::strcmp(static_cast<const char*>(argument), device.description) == 0;
    case kFtOpenByLocation:
      // The location id itself, in the pointer's place.
      return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument)) == device.locationId;
    default:
      return false;
  }
}

// A library released with devices open gives them up, as a process that
// ends does.
void CloseMachine() {
  if (machineView.machine == nullptr) return;
  {
    const VirtualFtdiLock held(machineView);
    for (const OpenHandle& handle : handles) {
      if (!Alive(handle)) continue;
      CloseFtdiDevice(&Device(handle.slot));
      Answer(kFtdiJournalUnloadRelease, handle.slot, 0, 0, kFtOk);
    }
    handles.clear();
    listed.clear();
  }
  CloseVirtualFtdi(&machineView);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID processEnding) {
  // Released by FreeLibrary; at the process's end the view goes with it,
  // and the next caller that asks finds the opener gone.
  if (reason == DLL_PROCESS_DETACH && processEnding == nullptr) CloseMachine();
  return TRUE;
}

extern "C" {

// Every call answers FT_OTHER_ERROR while the machine cannot be opened (one
// of another layout holds the section), as the real library does when its
// driver is missing.

FT_STATUS WINAPI FT_CreateDeviceInfoList(LPDWORD lpdwNumDevs) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  if (lpdwNumDevs == nullptr) return Answer(kFtdiJournalCreateList, kFtdiNoSlot, 0, 0, kFtInvalidParameter);
  ReleaseEndedFtdiOpeners(machineView);
  listed.clear();
  for (const int slot : PluggedSlots()) listed.push_back(Listing(slot));
  *lpdwNumDevs = static_cast<DWORD>(listed.size());
  return Answer(kFtdiJournalCreateList, kFtdiNoSlot, *lpdwNumDevs, 0, kFtOk);
}

FT_STATUS WINAPI FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* pDest, LPDWORD lpdwNumDevs) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  if (pDest == nullptr || lpdwNumDevs == nullptr) {
    return Answer(kFtdiJournalGetList, kFtdiNoSlot, 0, 0, kFtInvalidParameter);
  }
  for (size_t i = 0; i < listed.size(); ++i) pDest[i] = listed[i].node;
  *lpdwNumDevs = static_cast<DWORD>(listed.size());
  return Answer(kFtdiJournalGetList, kFtdiNoSlot, *lpdwNumDevs, 0, kFtOk);
}

FT_STATUS WINAPI FT_GetDeviceInfoDetail(DWORD dwIndex, LPDWORD lpdwFlags, LPDWORD lpdwType, LPDWORD lpdwID,
                                        LPDWORD lpdwLocId, LPVOID lpSerialNumber, LPVOID lpDescription,
                                        FT_HANDLE* pftHandle) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  if (lpdwFlags == nullptr || lpdwType == nullptr || lpdwID == nullptr || lpdwLocId == nullptr ||
      lpSerialNumber == nullptr || lpDescription == nullptr || pftHandle == nullptr) {
    return Answer(kFtdiJournalGetDetail, kFtdiNoSlot, dwIndex, 0, kFtInvalidParameter);
  }
  // Entries of the list the last FT_CreateDeviceInfoList made, from 0.
  if (dwIndex >= listed.size()) return Answer(kFtdiJournalGetDetail, kFtdiNoSlot, dwIndex, 0, kFtDeviceNotFound);
  const ListedDevice& entry = listed[dwIndex];
  *lpdwFlags = entry.node.Flags;
  *lpdwType = entry.node.Type;
  *lpdwID = entry.node.ID;
  *lpdwLocId = entry.node.LocId;
  std::memcpy(lpSerialNumber, entry.node.SerialNumber, sizeof entry.node.SerialNumber);
  std::memcpy(lpDescription, entry.node.Description, sizeof entry.node.Description);
  *pftHandle = entry.node.ftHandle;
  return Answer(kFtdiJournalGetDetail, entry.slot, dwIndex, 0, kFtOk);
}

// deviceNumber counts the devices plugged now, from 0, as the list does.
FT_STATUS WINAPI FT_Open(int deviceNumber, FT_HANDLE* pHandle) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  const uint32_t index = static_cast<uint32_t>(deviceNumber);
  if (pHandle == nullptr) return Answer(kFtdiJournalOpen, kFtdiNoSlot, index, 0, kFtInvalidParameter);
  ReleaseEndedFtdiOpeners(machineView);
  const std::vector<int> plugged = PluggedSlots();
  if (deviceNumber < 0 || index >= plugged.size()) {
    return Answer(kFtdiJournalOpen, kFtdiNoSlot, index, 0, kFtDeviceNotFound);
  }
  const int slot = plugged[index];
  return Answer(kFtdiJournalOpen, slot, index, 0, OpenSlot(slot, pHandle));
}

FT_STATUS WINAPI FT_OpenEx(PVOID pArg1, DWORD Flags, FT_HANDLE* pHandle) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  const bool byText = Flags == kFtOpenBySerialNumber || Flags == kFtOpenByDescription;
  if (pHandle == nullptr || (byText && pArg1 == nullptr) || (!byText && Flags != kFtOpenByLocation)) {
    return Answer(kFtdiJournalOpenEx, kFtdiNoSlot, Flags, 0, kFtInvalidParameter);
  }
  ReleaseEndedFtdiOpeners(machineView);
  for (const int slot : PluggedSlots()) {
    if (Matches(Device(slot), pArg1, Flags)) return Answer(kFtdiJournalOpenEx, slot, Flags, 0, OpenSlot(slot, pHandle));
  }
  return Answer(kFtdiJournalOpenEx, kFtdiNoSlot, Flags, 0, kFtDeviceNotFound);
}

FT_STATUS WINAPI FT_SetBitMode(FT_HANDLE ftHandle, UCHAR ucMask, UCHAR ucEnable) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  const OpenHandle* handle = Find(ftHandle);
  if (handle == nullptr) return Answer(kFtdiJournalSetBitMode, kFtdiNoSlot, ucEnable, ucMask, kFtInvalidHandle);
  if (!Alive(*handle)) return Answer(kFtdiJournalSetBitMode, handle->slot, ucEnable, ucMask, kFtIoError);
  const FT_STATUS status = SetFtdiBitMode(&Device(handle->slot), ucMask, ucEnable);
  return Answer(kFtdiJournalSetBitMode, handle->slot, ucEnable, ucMask, status);
}

FT_STATUS WINAPI FT_GetBitMode(FT_HANDLE ftHandle, PUCHAR pucMode) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  const OpenHandle* handle = Find(ftHandle);
  if (handle == nullptr) return Answer(kFtdiJournalGetBitMode, kFtdiNoSlot, 0, 0, kFtInvalidHandle);
  if (pucMode == nullptr) return Answer(kFtdiJournalGetBitMode, handle->slot, 0, 0, kFtInvalidParameter);
  if (!Alive(*handle)) return Answer(kFtdiJournalGetBitMode, handle->slot, 0, 0, kFtIoError);
  *pucMode = Device(handle->slot).pins;
  return Answer(kFtdiJournalGetBitMode, handle->slot, *pucMode, 0, kFtOk);
}

FT_STATUS WINAPI FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite, LPDWORD lpdwBytesWritten) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  const OpenHandle* handle = Find(ftHandle);
  if (handle == nullptr) return Answer(kFtdiJournalWrite, kFtdiNoSlot, 0, 0, kFtInvalidHandle);
  if (lpdwBytesWritten == nullptr || (lpBuffer == nullptr && dwBytesToWrite > 0)) {
    return Answer(kFtdiJournalWrite, handle->slot, 0, 0, kFtInvalidParameter);
  }
  *lpdwBytesWritten = 0;
  if (!Alive(*handle)) return Answer(kFtdiJournalWrite, handle->slot, 0, 0, kFtIoError);
  const uint8_t* bytes = static_cast<const uint8_t*>(lpBuffer);
  const uint32_t last = dwBytesToWrite > 0 ? bytes[dwBytesToWrite - 1] : 0;
  // The device's time of the write is the journal's, so the two agree.
  const FtdiJournalEntry entry = StampedFtdiEntry(kFtdiJournalWrite, handle->slot, last, dwBytesToWrite, kFtOk);
  WriteFtdiBytes(&Device(handle->slot), bytes, dwBytesToWrite, entry.time);
  AppendFtdiJournal(machineView.machine, entry);
  *lpdwBytesWritten = dwBytesToWrite;
  return kFtOk;
}

// The device keeps its mode and its pins: closing is not a reset.
FT_STATUS WINAPI FT_Close(FT_HANDLE ftHandle) {
  if (!MachineOpen()) return kFtOtherError;
  const VirtualFtdiLock held(machineView);
  OpenHandle* handle = Find(ftHandle);
  if (handle == nullptr) return Answer(kFtdiJournalClose, kFtdiNoSlot, 0, 0, kFtInvalidHandle);
  const int slot = handle->slot;
  if (Alive(*handle)) CloseFtdiDevice(&Device(slot));
  handles.erase(handles.begin() + (handle - handles.data()));
  return Answer(kFtdiJournalClose, slot, 0, 0, kFtOk);
}

}  // extern "C"

// The definitions above are checked against the declarations of
// port/d2xx_api_win.h by the compiler (two C functions of one name cannot
// differ); the node's layout is the guide's in both builds.
static_assert(offsetof(FT_DEVICE_LIST_INFO_NODE, ftHandle) == 96, "the list's node is the guide's");
