// The port-I/O library (WinIO.dll), bound at run time: what the port access
// uses of it.
#pragma once

#include <cstdint>

enum PortIoDriverStatus : int32_t {
  kPortIoDriverOk = 0,
  kPortIoDriverNoLibrary = 1,
  // 2 to 9: the first entry point that could not be resolved, in binding order.
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

// Loads, resolves and initialises the library, releasing an earlier binding
// first.
int32_t LoadPortIoDriver();
// Shuts the library down and releases it; harmless when nothing is bound.
void UnloadPortIoDriver();

// The library's own answer to each access; false without calling it when its
// entry point is not bound.
bool ReadPortValue(uint16_t port, uint32_t* value, uint8_t size);
bool WritePortValue(uint16_t port, uint32_t value, uint8_t size);
bool ReadPhysicalLong(uint32_t address, uint32_t* value);
