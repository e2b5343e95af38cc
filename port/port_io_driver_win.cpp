// Binds a port-I/O library at run time: WinIO.dll, then the InpOut library,
// then the virtual port; load, resolve in a fixed order, initialise, and the
// access operations that fail instead of calling an absent entry.
#include "port/port_io_driver_win.h"

#include "core/scoped_win.h"

namespace {

// WinIO's interface, for WinIO.dll and for the virtual port.
PortIoDriver portIoDriver{};
InpOutDriver inpOutDriver{};
PortIoLibrary libraryInUse = kPortIoNone;

// Every library is found by its bare name through the library search, which
// the program restricts to its own folder and the system's.
int32_t BindWinIoInterface(const char* name, PortIoDriver* driver) {
  driver->module = LoadLibraryA(name);
  if (driver->module == nullptr) return kPortIoDriverNoLibrary;

  // The first missing entry point names the failure, in this order.
  if (!ResolveEntryPoint(driver->module, "InitializeWinIo", &driver->InitializeWinIo))
    return kPortIoDriverNoInitializeWinIo;
  if (!ResolveEntryPoint(driver->module, "ShutdownWinIo", &driver->ShutdownWinIo)) return kPortIoDriverNoShutdownWinIo;
  if (!ResolveEntryPoint(driver->module, "GetPortVal", &driver->GetPortVal)) return kPortIoDriverNoGetPortVal;
  if (!ResolveEntryPoint(driver->module, "SetPortVal", &driver->SetPortVal)) return kPortIoDriverNoSetPortVal;
  if (!ResolveEntryPoint(driver->module, "GetPhysLong", &driver->GetPhysLong)) return kPortIoDriverNoGetPhysLong;
  if (!ResolveEntryPoint(driver->module, "SetPhysLong", &driver->SetPhysLong)) return kPortIoDriverNoSetPhysLong;
  if (!ResolveEntryPoint(driver->module, "MapPhysToLin", &driver->MapPhysToLin)) return kPortIoDriverNoMapPhysToLin;
  if (!ResolveEntryPoint(driver->module, "UnmapPhysicalMemory", &driver->UnmapPhysicalMemory))
    return kPortIoDriverNoUnmapPhysicalMemory;

  return driver->InitializeWinIo() ? kPortIoDriverOk : kPortIoDriverNotInitialized;
}

void ReleaseWinIoInterface(PortIoDriver* driver) {
  if (driver->module == nullptr) return;
  // Also after a failed initialisation: the library may hold what it got.
  if (driver->ShutdownWinIo != nullptr) driver->ShutdownWinIo();
  const HMODULE module = driver->module;
  *driver = PortIoDriver{};
  FreeLibrary(module);
}

// InpOut opens its driver when it is loaded; IsInpOutDriverOpen says whether
// that worked. It has no shut-down call: releasing the library closes it.
bool BindInpOut() {
  InpOutDriver& driver = inpOutDriver;
  driver.module = LoadLibraryA(kInpOutLibraryName);
  return driver.module != nullptr &&
         ResolveEntryPoint(driver.module, "IsInpOutDriverOpen", &driver.IsInpOutDriverOpen) &&
         ResolveEntryPoint(driver.module, "DlPortReadPortUchar", &driver.DlPortReadPortUchar) &&
         ResolveEntryPoint(driver.module, "DlPortWritePortUchar", &driver.DlPortWritePortUchar) &&
         ResolveEntryPoint(driver.module, "GetPhysLong", &driver.GetPhysLong) && driver.IsInpOutDriverOpen();
}

void ReleaseInpOut() {
  if (inpOutDriver.module == nullptr) return;
  const HMODULE module = inpOutDriver.module;
  inpOutDriver = InpOutDriver{};
  FreeLibrary(module);
}

// The one byte-wide access InpOut's port calls offer.
constexpr uint8_t kInpOutWidth = 1;

}  // namespace

const PortIoDriver& CurrentPortIoDriver() { return portIoDriver; }

PortIoLibrary PortIoLibraryInUse() { return libraryInUse; }

int32_t LoadPortIoDriver() {
  UnloadPortIoDriver();
  const int32_t winIoStatus = BindWinIoInterface(kWinIoLibraryName, &portIoDriver);
  if (winIoStatus == kPortIoDriverOk) {
    libraryInUse = kPortIoWinIo;
    return kPortIoDriverOk;
  }
  // WinIO.dll's failed binding is given up only for a library that works.
  if (BindInpOut()) {
    ReleaseWinIoInterface(&portIoDriver);
    libraryInUse = kPortIoInpOut;
    return kPortIoDriverOk;
  }
  ReleaseInpOut();
  PortIoDriver virtualPort{};
  if (BindWinIoInterface(kVirtualPortLibraryName, &virtualPort) == kPortIoDriverOk) {
    ReleaseWinIoInterface(&portIoDriver);
    portIoDriver = virtualPort;
    libraryInUse = kPortIoVirtual;
    return kPortIoDriverOk;
  }
  ReleaseWinIoInterface(&virtualPort);
  return winIoStatus;
}

void UnloadPortIoDriver() {
  ReleaseWinIoInterface(&portIoDriver);
  ReleaseInpOut();
  libraryInUse = kPortIoNone;
}

bool ReadPortValue(uint16_t port, uint32_t* value, uint8_t size) {
  if (value == nullptr) return false;
  if (inpOutDriver.DlPortReadPortUchar != nullptr) {
    if (size != kInpOutWidth) return false;
    *value = inpOutDriver.DlPortReadPortUchar(port);
    return true;
  }
  if (portIoDriver.GetPortVal == nullptr) return false;
  // DWORD is unsigned long, not the same type as uint32_t.
  DWORD read = *value;
  const bool ok = portIoDriver.GetPortVal(port, &read, size);
  *value = read;
  return ok;
}

bool WritePortValue(uint16_t port, uint32_t value, uint8_t size) {
  if (inpOutDriver.DlPortWritePortUchar != nullptr) {
    if (size != kInpOutWidth) return false;
    inpOutDriver.DlPortWritePortUchar(port, static_cast<UCHAR>(value & 0xFF));
    return true;
  }
  if (portIoDriver.SetPortVal == nullptr) return false;
  return portIoDriver.SetPortVal(port, value, size);
}

bool ReadPhysicalLong(uint32_t address, uint32_t* value) {
  if (value == nullptr) return false;
  // Both libraries take a physical address in the shape of a byte pointer.
  const PBYTE physical = reinterpret_cast<PBYTE>(static_cast<uintptr_t>(address));
  DWORD read = *value;
  bool ok = false;
  if (inpOutDriver.GetPhysLong != nullptr) {
    ok = inpOutDriver.GetPhysLong(physical, &read) != FALSE;
  } else if (portIoDriver.GetPhysLong != nullptr) {
    ok = portIoDriver.GetPhysLong(physical, &read);
  }
  *value = read;
  return ok;
}
