// The platform calls behind port discovery: the spooler's port listing and
// a device probe. Defined for Windows in port_probe_win.cpp; test programs
// link their own in its place.
#pragma once

#include <cstdint>

// The provider subtype of a parallel port (PST_PARALLELPORT).
constexpr uint32_t kParallelPortSubType = 2;

// Bytes the listing needs; 0 when the spooler reports nothing.
uint32_t PortListingSize();
// Fills buffer (size bytes) with the listing's records; false when the
// listing fails.
bool ReadPortListing(void* buffer, uint32_t size, uint32_t* count);
// The name of record index of a listing that ReadPortListing filled.
const char* PortListingName(const void* buffer, uint32_t index);

struct PortProbe {
  bool opened;          // the device could be opened, for query only and exclusively
  bool propertiesRead;  // its communications properties could be read
  uint32_t providerSubType;
};

// Opens the device, asks for its properties and closes it again.
PortProbe ProbePort(const char* name);
