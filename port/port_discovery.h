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

// Reports every port that can be opened and is a parallel port by its
// provider or has "LPT" in its name. 0 done; 1 no memory for the listing;
// 2 the listing failed. Without a callback nothing is asked.
int32_t EnumParallelPorts(PortCallback callback);

// Keeps the first name it is given as the port name.
void RememberFirstPort(const char* name);
