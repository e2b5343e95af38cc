// A stand-in for the spooler's port listing and the device probe, with a
// listing and probe answers the test sets.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "port/port_probe.h"

struct FakeSpooler {
  std::vector<std::string> names;           // the listing, in order
  std::map<std::string, PortProbe> probes;  // by name; others cannot be opened
  bool listingFails = false;

  int sizeQueries = 0;
  int listings = 0;
  std::vector<std::string> probed;  // every name handed to the probe
};

extern FakeSpooler spooler;

void ResetFakeSpooler();
