// One parallel port opened for LED output, its registers saved at open and
// restored at close. WriteLedByte, declared in core/meter_io.h, is defined here.
#pragma once

#include <cstdint>

#include "core/meter_io.h"

struct PortState {
  uint16_t dataPort;     // the base address
  uint16_t controlPort;  // base + 2
  uint16_t ecrPort;      // base + 0x402, the extended control register
  uint32_t savedData;
  uint32_t savedControl;
  uint32_t savedEcr;
  bool isOpen;
};

// The port as it stands, for reading.
const PortState& CurrentPortState();
// Back to closed without touching the port or its driver, as at process start.
void ResetPortState();

enum OpenPortStatus : int32_t {
  kOpenPortOk = 0,
  kOpenPortNoName = 1,
  kOpenPortBadNumber = 2,  // the name gives no port number 1..4
  kOpenPortNoDriver = 3,   // the port-I/O library could not be bound or initialised
  kOpenPortNoBiosAddress = 5,
  kOpenPortEcrNotRead = 6,
  kOpenPortDataNotRead = 7,
  kOpenPortControlNotRead = 8,
  kOpenPortEcrNotWritten = 9,
  kOpenPortDataNotWritten = 10,
  kOpenPortControlNotWritten = 11,
};

enum WriteLedStatus : int32_t {
  kWriteLedOk = 0,
  kWriteLedPortClosed = 1,
  kWriteLedFailed = 2,
};

// Saves the port's registers and puts it into LED output, closing a port
// that is open first.
int32_t OpenParallelPort(const char* name);
// Restores data, control and ECR, releases the driver. Always 0.
int32_t CloseParallelPort();
