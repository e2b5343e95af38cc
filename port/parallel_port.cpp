// Opens one parallel port for LED output, writes LED bytes, and puts the
// port's registers back as it found them at close.
#include "port/parallel_port.h"

#include "port/port_io_driver.h"
#include "port/port_number.h"

namespace {

PortState portState{};

constexpr uint8_t kByteWide = 1;  // every register access is one byte
constexpr int32_t kFirstPortNumber = 1;
constexpr int32_t kLastPortNumber = 4;
// The BIOS data area lists the ports' base addresses as 16-bit words, LPT1
// at 0x408; port n's word sits at 0x408 + 2 * (n - 1).
constexpr uint32_t kBiosPortTable = 0x408;
constexpr uint16_t kControlOffset = 2;
constexpr uint16_t kEcrOffset = 0x402;  // ECP extended control register
// ECR bits 7..5 are the mode; 000 is standard (compatibility) mode.
constexpr uint32_t kEcrKeepBelowMode = 0x1F;
// Strobe, Auto Feed and Select In are inverted by the port, Initialize is
// not: 0x0B puts all four control outputs at low level, interrupts off,
// data lines driven.
constexpr uint32_t kControlAllLow = 0x0B;
constexpr uint32_t kLedsDark = 0;

}  // namespace

const PortState& CurrentPortState() { return portState; }

void ResetPortState() { portState = PortState{}; }

int32_t OpenParallelPort(const char* name) {
  if (name == nullptr) return kOpenPortNoName;
  CloseParallelPort();

  const int32_t number = PortNumberFromName(name);
  if (number < kFirstPortNumber || number > kLastPortNumber) return kOpenPortBadNumber;
  if (LoadPortIoDriver() != kPortIoDriverOk) return kOpenPortNoDriver;

  uint32_t biosWords = 0;
  const uint32_t biosAddress = kBiosPortTable + 2 * static_cast<uint32_t>(number - 1);
  if (!ReadPhysicalLong(biosAddress, &biosWords)) return kOpenPortNoBiosAddress;
  // The high half is the next port's word.
  const uint16_t base = static_cast<uint16_t>(biosWords & 0xFFFF);
  if (base == 0) return kOpenPortNoBiosAddress;

  PortState& port = portState;
  port.dataPort = base;
  port.controlPort = static_cast<uint16_t>(base + kControlOffset);
  port.ecrPort = static_cast<uint16_t>(base + kEcrOffset);

  // All three are saved before the first one changes.
  if (!ReadPortValue(port.ecrPort, &port.savedEcr, kByteWide)) return kOpenPortEcrNotRead;
  if (!ReadPortValue(port.dataPort, &port.savedData, kByteWide)) return kOpenPortDataNotRead;
  if (!ReadPortValue(port.controlPort, &port.savedControl, kByteWide)) return kOpenPortControlNotRead;

  if (!WritePortValue(port.ecrPort, port.savedEcr & kEcrKeepBelowMode, kByteWide)) return kOpenPortEcrNotWritten;
  if (!WritePortValue(port.dataPort, kLedsDark, kByteWide)) return kOpenPortDataNotWritten;
  if (!WritePortValue(port.controlPort, kControlAllLow, kByteWide)) return kOpenPortControlNotWritten;

  port.isOpen = true;
  return kOpenPortOk;
}

int32_t CloseParallelPort() {
  PortState& port = portState;
  if (!port.isOpen) return 0;
  // The mirror image of the open; a failed write does not stop the others.
  WritePortValue(port.dataPort, port.savedData, kByteWide);
  WritePortValue(port.controlPort, port.savedControl, kByteWide);
  WritePortValue(port.ecrPort, port.savedEcr, kByteWide);
  UnloadPortIoDriver();
  port.isOpen = false;
  return 0;
}

int32_t WriteLedByte(int32_t value) {
  if (!portState.isOpen) return kWriteLedPortClosed;
  const uint32_t ledByte = static_cast<uint32_t>(value) & 0xFF;
  return WritePortValue(portState.dataPort, ledByte, kByteWide) ? kWriteLedOk : kWriteLedFailed;
}
