// The PC parallel port's register layout, as the port access, the virtual
// port, the LED view and the benchmark all see it: where the BIOS lists each
// port's base address, and where the registers sit from that base.
#pragma once

#include <cstdint>

// The BIOS data area lists the ports' base addresses as 16-bit words, LPT1's
// at 0x408, so port n's word sits at 0x408 + 2 * (n - 1). A zero word means
// the system has no such port.
constexpr uint32_t kBiosPortTable = 0x408;
constexpr int32_t kFirstPortNumber = 1;
constexpr int32_t kLastPortNumber = 4;
constexpr uint32_t BiosPortWordAddress(int32_t number) {
  return kBiosPortTable + 2 * static_cast<uint32_t>(number - kFirstPortNumber);
}
static_assert(BiosPortWordAddress(kLastPortNumber) == 0x40E, "LPT4's word is the table's last");

// Register offsets from a port's base address.
constexpr uint16_t kDataOffset = 0;  // D0..D7: LED n on bit n - 1
constexpr uint16_t kStatusOffset = 1;
constexpr uint16_t kControlOffset = 2;
constexpr uint16_t kEcrOffset = 0x402;  // the ECP port's extended control register

// ECR bits 7..5 are the mode; keeping only the bits below them selects
// standard (compatibility) mode.
constexpr uint32_t kEcrBelowModeMask = 0x1F;

// What the open writes to the control register: Strobe, Auto Feed and Select
// In are inverted by the port, Initialize is not, so 0x0B puts all four
// control outputs at low level, with interrupts off and the data lines driven.
constexpr uint32_t kControlAllLow = 0x0B;
