// The virtual port under InpOut's interface (inpoutx64.dll, inpout32.dll):
// the same machine as the WinIO build, so that the program's InpOut path
// runs with no hardware. Like InpOut it has no initialise or shut-down call:
// its first call opens the machine (InpOut's driver), releasing the library
// closes it, and the port calls report nothing.
#include <type_traits>

#include "emulation/winio/virtual_port_calls_win.h"
#include "port/inpout_api_win.h"

namespace {

// This process's view of the machine, open from the first call on.
VirtualPortView machineView{};

constexpr uint8_t kByteWide = 1;
// What a read where no register answers gives on a PC: the bus floats high.
constexpr uint32_t kFloatingBus = 0xFF;

// False while the machine cannot be opened (a machine of another layout is
// in the section), as IsInpOutDriverOpen answers when InpOut's driver did
// not load.
bool DriverOpen() {
  if (machineView.machine != nullptr) return true;
  if (OpenVirtualPort(kVirtualPortCreate, &machineView) != kVirtualPortOk) {
    CloseVirtualPort(&machineView);
    return false;
  }
  JournalCall(machineView, kJournalInpOutOpen, 0, 0, 0, true);
  return true;
}

void CloseDriver() {
  if (machineView.machine == nullptr) return;
  JournalCall(machineView, kJournalInpOutRelease, 0, 0, 0, true);
  CloseVirtualPort(&machineView);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID processEnding) {
  // Released by FreeLibrary; at the process's end the view goes with it.
  if (reason == DLL_PROCESS_DETACH && processEnding == nullptr) CloseDriver();
  return TRUE;
}

extern "C" {

BOOL __stdcall IsInpOutDriverOpen() { return DriverOpen() ? TRUE : FALSE; }

UCHAR __stdcall DlPortReadPortUchar(USHORT port) {
  uint32_t value = kFloatingBus;
  if (DriverOpen()) ReadPortCall(machineView, port, kByteWide, &value);
  return static_cast<UCHAR>(value);
}

void __stdcall DlPortWritePortUchar(USHORT port, UCHAR value) {
  if (DriverOpen()) WritePortCall(machineView, port, value, kByteWide);
}

// The signed forms carry the same 16-bit address and byte.
short __stdcall Inp32(short portAddress) { return DlPortReadPortUchar(static_cast<USHORT>(portAddress)); }

void __stdcall Out32(short portAddress, short data) {
  DlPortWritePortUchar(static_cast<USHORT>(portAddress), static_cast<UCHAR>(data & 0xFF));
}

BOOL __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  if (physicalValue == nullptr || !DriverOpen()) return FALSE;
  uint32_t value = 0;
  if (!ReadPhysicalCall(machineView, PhysicalAddress(physicalAddress), &value)) return FALSE;
  *physicalValue = value;
  return TRUE;
}

// Valid until the library is released.
PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle) {
  if (physicalMemoryHandle == nullptr || !DriverOpen()) return nullptr;
  return MapPhysicalCall(machineView, PhysicalAddress(physicalAddress), physicalSize, physicalMemoryHandle);
}

BOOL __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress) {
  return DriverOpen() && UnmapPhysicalCall(machineView, physicalMemoryHandle, linearAddress) ? TRUE : FALSE;
}

}  // extern "C"

// Each export is what InpOut publishes, checked against the declarations the
// program binds with.
static_assert(std::is_same_v<decltype(&::IsInpOutDriverOpen), decltype(&inpout::IsInpOutDriverOpen)>);
static_assert(std::is_same_v<decltype(&::Out32), decltype(&inpout::Out32)>);
static_assert(std::is_same_v<decltype(&::Inp32), decltype(&inpout::Inp32)>);
static_assert(std::is_same_v<decltype(&::DlPortReadPortUchar), decltype(&inpout::DlPortReadPortUchar)>);
static_assert(std::is_same_v<decltype(&::DlPortWritePortUchar), decltype(&inpout::DlPortWritePortUchar)>);
static_assert(std::is_same_v<decltype(&::GetPhysLong), decltype(&inpout::GetPhysLong)>);
static_assert(std::is_same_v<decltype(&::MapPhysToLin), decltype(&inpout::MapPhysToLin)>);
static_assert(std::is_same_v<decltype(&::UnmapPhysicalMemory), decltype(&inpout::UnmapPhysicalMemory)>);
