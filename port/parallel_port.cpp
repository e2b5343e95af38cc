// Opens one parallel port for LED output, writes LED bytes, and puts the
// port's registers back as it found them at close.
#include "port/parallel_port.h"

#include "port/port_address.h"
#include "port/port_io_driver.h"
#include "port/port_pnp.h"
#include "port/port_registers.h"

namespace {

PortState portState{};

constexpr uint8_t kByteWide = 1;  // every register access is one byte
constexpr uint32_t kLedsDark = 0;

// A named port's base: where Plug and Play put it, as the system decoded it;
// else the BIOS data area's word, through the port-I/O library.
bool NamedPortBase(int32_t number, uint16_t* base) {
  uint32_t assigned = 0;
  if (PlugAndPlayPortBase(number, &assigned) && IsUsablePortBase(assigned)) {
    *base = static_cast<uint16_t>(assigned);
    return true;
  }
  uint32_t biosWords = 0;
  if (!ReadPhysicalLong(BiosPortWordAddress(number), &biosWords)) return false;
  // The high half is the next port's word.
  *base = static_cast<uint16_t>(biosWords & 0xFFFF);
  return *base != 0;
}

// The mirror image of the open; a failed write does not stop the others.
void RestoreRegisters(const PortState& port) {
  WritePortValue(port.dataPort, port.savedData, kByteWide);
  WritePortValue(port.controlPort, port.savedControl, kByteWide);
  WritePortValue(port.ecrPort, port.savedEcr, kByteWide);
}

// Saves the registers, then puts the port into LED output; a failure on the
// way writes back what had changed, in the close's order, and the port
// stays closed.
int32_t SetUpPort(const PortArgument& argument) {
  uint16_t base = argument.base;
  if (argument.kind == kPortArgumentName && !NamedPortBase(argument.number, &base)) return kOpenPortNoBiosAddress;

  PortState& port = portState;
  port.dataPort = static_cast<uint16_t>(base + kDataOffset);
  port.controlPort = static_cast<uint16_t>(base + kControlOffset);
  port.ecrPort = static_cast<uint16_t>(base + kEcrOffset);

  // All three are saved before the first one changes.
  if (!ReadPortValue(port.ecrPort, &port.savedEcr, kByteWide)) return kOpenPortEcrNotRead;
  if (!ReadPortValue(port.dataPort, &port.savedData, kByteWide)) return kOpenPortDataNotRead;
  if (!ReadPortValue(port.controlPort, &port.savedControl, kByteWide)) return kOpenPortControlNotRead;

  // A write that failed may still have changed its register, so it is
  // written back too.
  if (!WritePortValue(port.ecrPort, port.savedEcr & kEcrBelowModeMask, kByteWide)) {
    WritePortValue(port.ecrPort, port.savedEcr, kByteWide);
    return kOpenPortEcrNotWritten;
  }
  if (!WritePortValue(port.dataPort, kLedsDark, kByteWide)) {
    WritePortValue(port.dataPort, port.savedData, kByteWide);
    WritePortValue(port.ecrPort, port.savedEcr, kByteWide);
    return kOpenPortDataNotWritten;
  }
  if (!WritePortValue(port.controlPort, kControlAllLow, kByteWide)) {
    RestoreRegisters(port);
    return kOpenPortControlNotWritten;
  }
  port.isOpen = true;
  return kOpenPortOk;
}

}  // namespace

const PortState& CurrentPortState() { return portState; }

void ResetPortState() { portState = PortState{}; }

int32_t OpenParallelPort(const char* name) {
  if (name == nullptr) return kOpenPortNoName;
  CloseParallelPort();

  // Refused before the port-I/O library is loaded.
  const PortArgument argument = ReadPortArgument(name);
  if (argument.kind == kPortArgumentBadAddress) return kOpenPortBadAddress;
  const bool named = argument.kind == kPortArgumentName;
  const bool numberInRange = argument.number >= kFirstPortNumber && argument.number <= kLastPortNumber;
  if (argument.kind == kPortArgumentBadName || (named && !numberInRange)) return kOpenPortBadNumber;
  if (LoadPortIoDriver() != kPortIoDriverOk) return kOpenPortNoDriver;
  const int32_t status = SetUpPort(argument);
  if (status != kOpenPortOk) UnloadPortIoDriver();  // nothing of the port stays changed or held
  return status;
}

int32_t CloseParallelPort() {
  PortState& port = portState;
  if (!port.isOpen) return 0;
  RestoreRegisters(port);
  UnloadPortIoDriver();
  port.isOpen = false;
  return 0;
}

int32_t WriteParallelPort(uint8_t byte) {
  if (!portState.isOpen) return kWriteLedPortClosed;
  return WritePortValue(portState.dataPort, byte, kByteWide) ? kWriteLedOk : kWriteLedFailed;
}
