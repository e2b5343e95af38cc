// A stand-in InpOut library (inpoutx64.dll, inpout32.dll) for the binding's
// tests. Every call, and the library's own loading and release, is appended
// to the shared log (fake_library_log.h) as "inpout:EVENT".
#include <type_traits>

#include "port/inpout_api_win.h"
#include "tests/fakes/fake_library_log.h"

namespace {

void Log(const std::string& event) { LogLibraryEvent("inpout:" + event); }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("attach");
  if (reason == DLL_PROCESS_DETACH) Log("detach");
  return TRUE;
}

extern "C" {

BOOL __stdcall IsInpOutDriverOpen() {
  Log("open?");
  return FAKE_INPOUT_DRIVER_OPEN ? TRUE : FALSE;
}

// A byte that tells the port it came from: its low byte turned over.
UCHAR __stdcall DlPortReadPortUchar(USHORT port) {
  Log("read " + LogHex(port));
  return static_cast<UCHAR>(~port & 0xFF);
}

void __stdcall DlPortWritePortUchar(USHORT port, UCHAR value) { Log("write " + LogHex(port) + ' ' + LogHex(value)); }

short __stdcall Inp32(short portAddress) {
  Log("inp32 " + LogHex(static_cast<USHORT>(portAddress)));
  return 0;
}

void __stdcall Out32(short portAddress, short) { Log("out32 " + LogHex(static_cast<USHORT>(portAddress))); }

// Address 0 fails, so that a failure can be seen passing through.
BOOL __stdcall GetPhysLong(PBYTE physicalAddress, PDWORD physicalValue) {
  const auto address = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(physicalAddress));
  Log("phys " + LogHex(address));
  *physicalValue = address + 2;
  return address != 0 ? TRUE : FALSE;
}

PBYTE __stdcall MapPhysToLin(PBYTE, DWORD, HANDLE*) {
  Log("map");
  return nullptr;
}

BOOL __stdcall UnmapPhysicalMemory(HANDLE, PBYTE) {
  Log("unmap");
  return FALSE;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&::IsInpOutDriverOpen), decltype(&inpout::IsInpOutDriverOpen)>);
static_assert(std::is_same_v<decltype(&::DlPortReadPortUchar), decltype(&inpout::DlPortReadPortUchar)>);
static_assert(std::is_same_v<decltype(&::DlPortWritePortUchar), decltype(&inpout::DlPortWritePortUchar)>);
static_assert(std::is_same_v<decltype(&::GetPhysLong), decltype(&inpout::GetPhysLong)>);
