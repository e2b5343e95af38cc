// Walks the spooler's port listing and reports the parallel ports that can be
// opened; keeps the first one as the program's port name.
#include "port/port_discovery.h"

#include <cstring>
#include <memory>
#include <new>

#include "port/port_probe.h"

namespace {

std::string portName;

// A heap copy of name cut at its first ':' (LPT1: becomes LPT1); null when
// it cannot be allocated.
std::unique_ptr<char[]> CandidateName(const char* name) {
  const std::size_t length = std::strlen(name);
  std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
  if (!copy) return copy;
  std::memcpy(copy.get(), name, length + 1);
  if (char* colon = std::strchr(copy.get(), ':')) *colon = '\0';
  return copy;
}

bool IsParallelPort(const char* candidate) {
  const PortProbe probe = ProbePort(candidate);
  if (!probe.opened) return false;  // absent, or held by another program
  if (probe.propertiesRead && probe.providerSubType == kParallelPortSubType) return true;
  return std::strstr(candidate, "LPT") != nullptr;
}

}  // namespace

const std::string& PortName() { return portName; }

void SetPortName(const char* name) { portName = name; }

void ForgetPortName() {
  portName.clear();
  portName.shrink_to_fit();
}

int32_t EnumParallelPorts(PortCallback callback) {
  if (callback == nullptr) return kEnumPortsOk;

  const uint32_t size = PortListingSize();
  // operator new[] gives storage aligned for the records' pointers.
  std::unique_ptr<unsigned char[]> listing(new (std::nothrow) unsigned char[size]);
  if (!listing) return kEnumPortsNoMemory;
  uint32_t count = 0;
  if (!ReadPortListing(listing.get(), size, &count)) return kEnumPortsListingFailed;

  for (uint32_t i = 0; i < count; ++i) {
    const char* name = PortListingName(listing.get(), i);
    if (name == nullptr) continue;
    const std::unique_ptr<char[]> candidate = CandidateName(name);
    if (!candidate) continue;
    if (IsParallelPort(candidate.get())) callback(candidate.get());
  }
  return kEnumPortsOk;
}

void RememberFirstPort(const char* name) {
  if (name == nullptr || !portName.empty()) return;
  portName = name;
}
