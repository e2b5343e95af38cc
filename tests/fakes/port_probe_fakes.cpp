// The listing is an array of name pointers in the caller's buffer, as the
// spooler's records hold pointers to their strings.
#include "tests/fakes/port_probe_fakes.h"

#include <cstring>

FakeSpooler spooler;

void ResetFakeSpooler() { spooler = FakeSpooler{}; }

uint32_t PortListingSize() {
  ++spooler.sizeQueries;
  return static_cast<uint32_t>(spooler.names.size() * sizeof(const char*));
}

bool ReadPortListing(void* buffer, uint32_t size, uint32_t* count) {
  ++spooler.listings;
  if (spooler.listingFails) return false;
  std::vector<const char*> records;
  for (const std::string& name : spooler.names) records.push_back(name.c_str());
  if (size < records.size() * sizeof(const char*)) return false;
  if (!records.empty()) std::memcpy(buffer, records.data(), records.size() * sizeof(const char*));
  *count = static_cast<uint32_t>(records.size());
  return true;
}

const char* PortListingName(const void* buffer, uint32_t index) {
  return static_cast<const char* const*>(buffer)[index];
}

PortProbe ProbePort(const char* name) {
  spooler.probed.push_back(name);
  const auto found = spooler.probes.find(name);
  return found == spooler.probes.end() ? PortProbe{} : found->second;
}
