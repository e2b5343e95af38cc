// What the program's port argument names: a port by its name (LPT1, lpt2:)
// or the data register's I/O address (0xD010), and which base addresses a
// port can have.
#pragma once

#include <cstdint>

#include "port/port_registers.h"

// Below 0x100 sit the PC's own fixed devices (DMA and interrupt controllers,
// timer, keyboard); no parallel port lives there.
constexpr uint32_t kLowestPortBase = 0x100;
// The highest base whose ECR, base + 0x402, is still a 16-bit I/O address.
constexpr uint32_t kHighestPortBase = 0xFFFF - kEcrOffset;
static_assert(kHighestPortBase == 0xFBFD, "base + 0x402 stays within the I/O space");

// A base address the program can open: data, control and ECR all fall in
// the I/O space above the fixed devices.
constexpr bool IsUsablePortBase(uint32_t base) { return base >= kLowestPortBase && base <= kHighestPortBase; }

enum PortArgumentKind : int32_t {
  kPortArgumentName = 0,        // "LPT" in any case, the number, at most one ':'
  kPortArgumentAddress = 1,     // "0x" or "0X" and 1 to 4 hex digits, a usable base
  kPortArgumentBadName = 2,     // anything else that does not start with 0x
  kPortArgumentBadAddress = 3,  // anything else that does
};

struct PortArgument {
  PortArgumentKind kind;
  int32_t number;  // the port number of a name (not range-checked here)
  uint16_t base;   // the base address of an address
};

// How the system names its ports (LPT2, COM7:): the three letters of prefix
// (given in lower case, matched in any case), a number without a leading
// zero, then nothing or one ':'. The number by atoi rules (clamped, so never
// 0), or 0 when text is no such name.
constexpr int kDevicePrefixLength = 3;
int32_t DeviceNameNumber(const char* text, const char* prefix);

// A serial port's name, "COM1" to "COM256" as above: its number, or 0.
constexpr int32_t kLastSerialPort = 256;
int32_t SerialPortNumber(const char* text);

// Reads a port name or address; nothing around it (blanks included) is
// allowed. A missing text is a bad name.
PortArgument ReadPortArgument(const char* text);

// True when text is the name of port number (as the system's port list
// writes it, LPT3 or LPT3:, in any case).
bool NamesPort(const char* text, int32_t number);
