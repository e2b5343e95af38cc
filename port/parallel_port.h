// One parallel port opened for LED output, its registers saved at open and
// restored at close.
#pragma once

#include <cstdint>

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
  kOpenPortBadNumber = 2,      // not a port name (LPTn, LPTn:), or n outside 1..4
  kOpenPortNoDriver = 3,       // no port-I/O library could be bound and initialised
  kOpenPortNoBiosAddress = 5,  // neither Plug and Play nor the BIOS has the port's address
  kOpenPortEcrNotRead = 6,
  kOpenPortDataNotRead = 7,
  kOpenPortControlNotRead = 8,
  kOpenPortEcrNotWritten = 9,
  kOpenPortDataNotWritten = 10,
  kOpenPortControlNotWritten = 11,
  kOpenPortBadAddress = 12,  // starts with 0x but is no usable base address
};

enum WriteLedStatus : int32_t {
  kWriteLedOk = 0,
  kWriteLedPortClosed = 1,
  kWriteLedFailed = 2,
};

// Saves the port's registers and puts it into LED output, closing a port
// that is open first. name is a port name (LPT1; its base comes from Plug
// and Play, else the BIOS data area) or the data register's address (0xD010).
int32_t OpenParallelPort(const char* name);
// Restores data, control and ECR, releases the driver. Always 0.
int32_t CloseParallelPort();
// The LED byte to the data register: a WriteLedStatus.
int32_t WriteParallelPort(uint8_t byte);
