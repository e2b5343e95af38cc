// The port-I/O library, bound at run time: what the port access uses of it.
// WinIO.dll is tried first, then the InpOut library, then the program's own
// virtual port; each by its bare name through the library search the program
// restricts to its own folder (and the system's).
#pragma once

#include <cstdint>

// The libraries by file name, in the order they are tried. InpOut names its
// library by the program's bitness; the virtual port has WinIO's interface
// under a name of its own, so that any real library beside it wins.
constexpr char kWinIoLibraryName[] = "WinIO.dll";
constexpr const char* kInpOutLibraryName = sizeof(void*) == 8 ? "inpoutx64.dll" : "inpout32.dll";
constexpr char kVirtualPortLibraryName[] = "pipstack-virtual-port.dll";

enum PortIoDriverStatus : int32_t {
  kPortIoDriverOk = 0,
  kPortIoDriverNoLibrary = 1,
  // 2 to 9: the first entry point of WinIO.dll that could not be resolved,
  // in binding order.
  kPortIoDriverNoInitializeWinIo = 2,
  kPortIoDriverNoShutdownWinIo = 3,
  kPortIoDriverNoGetPortVal = 4,
  kPortIoDriverNoSetPortVal = 5,
  kPortIoDriverNoGetPhysLong = 6,
  kPortIoDriverNoSetPhysLong = 7,
  kPortIoDriverNoMapPhysToLin = 8,
  kPortIoDriverNoUnmapPhysicalMemory = 9,
  kPortIoDriverNotInitialized = 10,  // InitializeWinIo reported failure
};

// Which library the program drives the port through.
enum PortIoLibrary : int32_t {
  kPortIoNone = 0,  // nothing bound
  kPortIoWinIo = 1,
  kPortIoInpOut = 2,
  kPortIoVirtual = 3,  // our virtual port: no real LEDs are lit
};

// Binds the first library in order that loads, resolves and initialises,
// releasing an earlier binding first. When none does, the code is WinIO.dll's
// and its failed binding stays as it was left.
int32_t LoadPortIoDriver();
// Shuts the library down (WinIO's interface) and releases it; harmless when
// nothing is bound.
void UnloadPortIoDriver();
// The library bound by the last successful LoadPortIoDriver, until released.
PortIoLibrary PortIoLibraryInUse();

// The library's own answer to each access; false without calling it when its
// entry point is not bound. InpOut's port calls report nothing: a byte-wide
// access through them counts as done.
bool ReadPortValue(uint16_t port, uint32_t* value, uint8_t size);
bool WritePortValue(uint16_t port, uint32_t value, uint8_t size);
bool ReadPhysicalLong(uint32_t address, uint32_t* value);
