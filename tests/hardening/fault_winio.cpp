// A WinIO.dll for fault injection: the virtual port's own library, whose
// N-th call of one kind fails. The kind and N come from the environment
// variable PIPSTACK_FAULT_WINIO of the process that loads it, read at every
// call: "init:N", "bios:N" (GetPhysLong), "read:N" (GetPortVal) or
// "write:N" (SetPortVal), N counting from 1 since the library was loaded;
// unset, nothing fails. A failed call does not reach the machine; once the
// machine is open it is journalled there as a call that failed, so a watcher
// sees where the fault struck.
//
// The virtual port's entry points are compiled in here under other names, so
// that everything but the failure behaves exactly as the real library does.
#define InitializeWinIo VirtualInitializeWinIo
#define ShutdownWinIo VirtualShutdownWinIo
#define GetPortVal VirtualGetPortVal
#define SetPortVal VirtualSetPortVal
#define GetPhysLong VirtualGetPhysLong
#define SetPhysLong VirtualSetPhysLong
#define MapPhysToLin VirtualMapPhysToLin
#define UnmapPhysicalMemory VirtualUnmapPhysicalMemory
#include "emulation/winio/winio_win.cpp"
#undef InitializeWinIo
#undef ShutdownWinIo
#undef GetPortVal
#undef SetPortVal
#undef GetPhysLong
#undef SetPhysLong
#undef MapPhysToLin
#undef UnmapPhysicalMemory

#include <cstdlib>
#include <cstring>

namespace {

enum FaultKind { kFaultInit, kFaultBios, kFaultRead, kFaultWrite, kFaultKinds };
constexpr const char* kFaultNames[kFaultKinds] = {"init", "bios", "read", "write"};
constexpr char kFaultVariable[] = "PIPSTACK_FAULT_WINIO";

int callsOfKind[kFaultKinds] = {};

// Counts this call of its kind; true when it is the one to fail.
bool FailsNow(FaultKind kind) {
  const int call = ++callsOfKind[kind];
  char knob[64] = "";
  const DWORD length = GetEnvironmentVariableA(kFaultVariable, knob, sizeof knob);
  if (length == 0 || length >= sizeof knob) return false;
  const char* colon = std::strchr(knob, ':');
  if (colon == nullptr) return false;
  const size_t nameLength = static_cast<size_t>(colon - knob);
  return std::strlen(kFaultNames[kind]) == nameLength && std::strncmp(knob, kFaultNames[kind], nameLength) == 0 &&
         std::atoi(colon + 1) == call;
}

bool Refuse(JournalKind kind, uint32_t address, uint32_t value, uint8_t size) {
  if (Initialized()) JournalCall(machineView, kind, address, value, size, false);
  return false;
}

}  // namespace

extern "C" {

bool __stdcall InitializeWinIo() { return FailsNow(kFaultInit) ? false : VirtualInitializeWinIo(); }

void __stdcall ShutdownWinIo() { VirtualShutdownWinIo(); }

bool __stdcall GetPortVal(WORD portAddress, PDWORD portValue, BYTE size) {
  if (FailsNow(kFaultRead)) return Refuse(kJournalPortRead, portAddress, 0, size);
  return VirtualGetPortVal(portAddress, portValue, size);
}

bool __stdcall SetPortVal(WORD portAddress, DWORD portValue, BYTE size) {
  if (FailsNow(kFaultWrite)) return Refuse(kJournalPortWrite, portAddress, portValue, size);
  return VirtualSetPortVal(portAddress, portValue, size);
}

bool __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  if (FailsNow(kFaultBios)) return Refuse(kJournalPhysicalRead, PhysicalAddress(physicalAddress), 0, 4);
  return VirtualGetPhysLong(physicalAddress, physicalValue);
}

bool __stdcall SetPhysLong(PBYTE physicalAddress, DWORD physicalValue) {
  return VirtualSetPhysLong(physicalAddress, physicalValue);
}

PBYTE __stdcall MapPhysToLin(PBYTE physicalAddress, DWORD physicalSize, HANDLE* physicalMemoryHandle) {
  return VirtualMapPhysToLin(physicalAddress, physicalSize, physicalMemoryHandle);
}

bool __stdcall UnmapPhysicalMemory(HANDLE physicalMemoryHandle, PBYTE linearAddress) {
  return VirtualUnmapPhysicalMemory(physicalMemoryHandle, linearAddress);
}

}  // extern "C"
