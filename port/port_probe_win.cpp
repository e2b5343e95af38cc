// Port discovery's platform calls: EnumPortsA at level 2 and a device probe
// with CreateFileA and GetCommProperties.
#include "port/port_probe.h"

#include <windows.h>
#include <winspool.h>

#include "core/scoped_win.h"

namespace {

constexpr DWORD kListingLevel = 2;  // PORT_INFO_2 records

static_assert(kParallelPortSubType == PST_PARALLELPORT, "the provider's parallel port subtype");
static_assert(sizeof(COMMPROP) == 64, "the properties query is told the structure's size");

}  // namespace

uint32_t PortListingSize() {
  DWORD needed = 0;
  DWORD returned = 0;
  // Its result is not examined: with no buffer it fails by design and
  // reports the bytes needed.
  EnumPortsA(nullptr, kListingLevel, nullptr, 0, &needed, &returned);
  return needed;
}

bool ReadPortListing(void* buffer, uint32_t size, uint32_t* count) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (!EnumPortsA(nullptr, kListingLevel, static_cast<LPBYTE>(buffer), size, &needed, &returned)) return false;
  *count = returned;
  return true;
}

const char* PortListingName(const void* buffer, uint32_t index) {
  return static_cast<const PORT_INFO_2A*>(buffer)[index].pPortName;
}

PortProbe ProbePort(const char* name) {
  PortProbe probe{};
  // Access 0: query only, so no data moves; share mode 0: a port another
  // program holds is not ours to take.
  const ScopedHandle device(CreateFileA(name, 0, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!device.IsValid()) return probe;
  probe.opened = true;

  COMMPROP properties{};
  properties.wPacketLength = sizeof properties;
  properties.dwProvSpec1 = COMMPROP_INITIALIZED;
  if (GetCommProperties(device.Get(), &properties)) {
    probe.propertiesRead = true;
    probe.providerSubType = properties.dwProvSubType;
  }
  return probe;
}
