// The faults the injection runs choose from, and what the program must do
// under each: which message it ends with (none: it keeps metering). Under
// every one the port's registers end as the program found them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum FaultLibrary { kFaultWinIo, kFaultPdh };

struct Fault {
  FaultLibrary library;
  std::string kind;  // WinIO.dll: init, bios, read, write; pdh.dll: open, add, remove, collect, format
  int32_t n;         // which call of that kind (format: which LED's counter)
};

struct Outcome {
  std::string message;  // empty: the program keeps running
};

Outcome ExpectedOutcome(const Fault& fault);

// count faults drawn from the fixed random start value, the same on every run.
std::vector<Fault> DrawFaults(uint32_t randomStart, int32_t count);

// "write_5", "pdh_format_3": for test names.
std::string FaultName(const Fault& fault);
