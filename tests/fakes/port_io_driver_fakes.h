// A recording stand-in for the port-I/O driver operations: a small machine
// of registers and BIOS words, a log of every call, and failures on demand.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "port/port_io_driver.h"

struct RecordingDriver {
  int32_t loadStatus = 0;
  std::map<uint32_t, uint32_t> physical;   // BIOS words by address (32 bits read)
  std::map<uint16_t, uint32_t> registers;  // by I/O address; absent reads as 0
  uint32_t failPhysicalAt = 0;             // 0: never
  uint16_t failReadAt = 0;
  uint16_t failWriteAt = 0;

  PortIoLibrary library = kPortIoNone;  // what PortIoLibraryInUse answers

  bool bound = false;
  std::vector<std::string> calls;  // "load", "unload", "phys 408", "read 77a", "write 378 a5", ...
};

extern RecordingDriver driver;

void ResetRecordingDriver();
