// Finding the system's parallel ports when none is named on the command line.
#pragma once

#include <cstdint>
#include <string>

// The program's port name: from the command line, or the first port that
// discovery reports. Empty while none is chosen.
const std::string& PortName();
void SetPortName(const char* name);
// Empty again, its memory given back.
void ForgetPortName();

using PortCallback = void (*)(const char* name);

enum EnumPortsStatus : int32_t {
  kEnumPortsOk = 0,  // the walk was done, whether or not anything was reported
  kEnumPortsNoMemory = 1,
  kEnumPortsListingFailed = 2,
};

// Reports every port that can be opened and is a parallel port by its
// provider or has "LPT" in its name. Without a callback nothing is asked.
int32_t EnumParallelPorts(PortCallback callback);

// Keeps the first name it is given as the port name.
void RememberFirstPort(const char* name);
