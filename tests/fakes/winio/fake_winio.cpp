// A stand-in WinIO.dll for the binding's tests. Every call, and the library's
// own loading and release, is appended to the process's environment variable
// PIPSTACK_FAKE_WINIO_LOG, which outlives the library being released.
#include <string>

#include "port/winio_api_win.h"

namespace {

constexpr char kLogVariable[] = "PIPSTACK_FAKE_WINIO_LOG";

void Log(const std::string& event) {
  char text[4096] = "";
  const DWORD length = GetEnvironmentVariableA(kLogVariable, text, sizeof text);
  std::string log = length < sizeof text ? std::string(text, length) : std::string();
  if (!log.empty()) log += ' ';
  log += event;
  SetEnvironmentVariableA(kLogVariable, log.c_str());
}

std::string Hex(unsigned long value) {
  char text[16];
  wsprintfA(text, "%lx", value);
  return text;
}

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
