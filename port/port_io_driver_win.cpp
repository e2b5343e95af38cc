// Binds WinIO.dll at run time: load, resolve in a fixed order, initialise,
// and the access operations that fail instead of calling an absent entry.
#include "port/port_io_driver_win.h"

#include "core/scoped_win.h"

namespace {

PortIoDriver portIoDriver{};

// Found by its bare name through the platform's library search, so a user
// can put a real port-I/O library with the same interface in its place.
constexpr char kLibraryName[] = "WinIO.dll";

}  // namespace

const PortIoDriver& CurrentPortIoDriver() { return portIoDriver; }

int32_t LoadPortIoDriver() {
  PortIoDriver& driver = portIoDriver;
  if (driver.module != nullptr) UnloadPortIoDriver();
  driver.module = LoadLibraryA(kLibraryName);
  if (driver.module == nullptr) return kPortIoDriverNoLibrary;

  // The first missing entry point names the failure, in this order.
  if (!ResolveEntryPoint(driver.module, "InitializeWinIo", &driver.InitializeWinIo))
    return kPortIoDriverNoInitializeWinIo;
  if (!ResolveEntryPoint(driver.module, "ShutdownWinIo", &driver.ShutdownWinIo)) return kPortIoDriverNoShutdownWinIo;
  if (!ResolveEntryPoint(driver.module, "GetPortVal", &driver.GetPortVal)) return kPortIoDriverNoGetPortVal;
  if (!ResolveEntryPoint(driver.module, "SetPortVal", &driver.SetPortVal)) return kPortIoDriverNoSetPortVal;
  if (!ResolveEntryPoint(driver.module, "GetPhysLong", &driver.GetPhysLong)) return kPortIoDriverNoGetPhysLong;
  if (!ResolveEntryPoint(driver.module, "SetPhysLong", &driver.SetPhysLong)) return kPortIoDriverNoSetPhysLong;
  if (!ResolveEntryPoint(driver.module, "MapPhysToLin", &driver.MapPhysToLin)) return kPortIoDriverNoMapPhysToLin;
  if (!ResolveEntryPoint(driver.module, "UnmapPhysicalMemory", &driver.UnmapPhysicalMemory))
    return kPortIoDriverNoUnmapPhysicalMemory;

  return driver.InitializeWinIo() ? kPortIoDriverOk : kPortIoDriverNotInitialized;
}

void UnloadPortIoDriver() {
  PortIoDriver& driver = portIoDriver;
  if (driver.module == nullptr) return;
  // Also after a failed initialisation: the library may hold what it got.
  if (driver.ShutdownWinIo != nullptr) driver.ShutdownWinIo();
  const HMODULE module = driver.module;
  driver = PortIoDriver{};
  FreeLibrary(module);
}

bool ReadPortValue(uint16_t port, uint32_t* value, uint8_t size) {
  if (portIoDriver.GetPortVal == nullptr || value == nullptr) return false;
  // DWORD is unsigned long, not the same type as uint32_t.
  DWORD read = *value;
  const bool ok = portIoDriver.GetPortVal(port, &read, size);
  *value = read;
  return ok;
}

bool WritePortValue(uint16_t port, uint32_t value, uint8_t size) {
  if (portIoDriver.SetPortVal == nullptr) return false;
  return portIoDriver.SetPortVal(port, value, size);
}

bool ReadPhysicalLong(uint32_t address, uint32_t* value) {
  if (portIoDriver.GetPhysLong == nullptr || value == nullptr) return false;
  DWORD read = *value;
  // The library takes a physical address in the shape of a byte pointer.
  const bool ok = portIoDriver.GetPhysLong(reinterpret_cast<PBYTE>(static_cast<uintptr_t>(address)), &read);
  *value = read;
  return ok;
}
