// The faults the injection runs choose from, and what the program must do
// under each: which message it ends with (none: it keeps metering) and which
// of the port's registers stay changed.
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

enum PortAfter {
  kPortAsFound,         // every register as before the program started
  kPortEcrLeft,         // the open stopped after setting the ECR
  kPortEcrAndDataLeft,  // ... after setting the ECR and the data register
};

struct Outcome {
  std::string message;  // empty: the program keeps running
  PortAfter port;
};

Outcome ExpectedOutcome(const Fault& fault);

// count faults drawn from the fixed random start value, the same on every run.
std::vector<Fault> DrawFaults(uint32_t randomStart, int32_t count);

// "write_5", "pdh_format_3": for test names.
std::string FaultName(const Fault& fault);
