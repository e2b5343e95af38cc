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

// 0 open; 1 no name, 2 no port number 1..4, 3 driver, 5 BIOS address,
// 6..8 reading ECR, data, control, 9..11 writing ECR, data, control.
int32_t OpenParallelPort(const char* name);
// Restores data, control and ECR, releases the driver. Always 0.
int32_t CloseParallelPort();
