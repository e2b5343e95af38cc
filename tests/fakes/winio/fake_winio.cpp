// A stand-in WinIO.dll for the binding's tests. Every call, and the library's
// own loading and release, is appended to the shared log (fake_library_log.h).
// Built as the virtual port too (pipstack-virtual-port.dll), whose events
// carry FAKE_WINIO_TAG in front, so that the log tells the two apart.
#include "port/winio_api_win.h"
#include "tests/fakes/fake_library_log.h"

namespace {

void Log(const std::string& event) { LogLibraryEvent(FAKE_WINIO_TAG + event); }

std::string Hex(unsigned long value) { return LogHex(value); }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("attach");
  if (reason == DLL_PROCESS_DETACH) Log("detach");
  return TRUE;
}

bool __stdcall InitializeWinIo() {
  Log("init");
  return FAKE_WINIO_INITIALIZES;
}

void __stdcall ShutdownWinIo() { Log("shutdown"); }

// Port 0 and address 0 fail, so that a failure can be seen passing through.
bool __stdcall GetPortVal(WORD portAddress, PDWORD portValue, BYTE size) {
  Log("get " + Hex(portAddress) + ' ' + Hex(size));
  *portValue = portAddress ^ 0xABCD0000u;
  return portAddress != 0;
}

bool __stdcall SetPortVal(WORD portAddress, DWORD portValue, BYTE size) {
  Log("set " + Hex(portAddress) + ' ' + Hex(portValue) + ' ' + Hex(size));
  return portAddress != 0;
}

bool __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  const auto address = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(physicalAddress));
  Log("phys " + Hex(address));
  *physicalValue = address + 1;
  return address != 0;
}

bool __stdcall SetPhysLong(PBYTE, DWORD) {
  Log("setphys");
  return true;
}

PBYTE __stdcall MapPhysToLin(PBYTE, DWORD, HANDLE*) {
  Log("map");
  return nullptr;
}

bool __stdcall UnmapPhysicalMemory(HANDLE, PBYTE) {
  Log("unmap");
  return false;
}
