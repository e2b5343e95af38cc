// Where the LED byte goes, and the one way of choosing, opening, writing and
// closing it: a parallel port (parallel_port.h), a Pipstack LED controller on
// a serial port (serial_controller.h), or an FTDI breakout in bit-bang mode
// (ftdi_output.h). WriteLedByte, declared in core/meter_io.h, is defined
// here. Platform-free.
#pragma once

#include <cstdint>
#include <string>

#include "core/meter_io.h"

enum LedOutputKind : int32_t {
  kOutputNone = 0,  // nothing open; as an argument: none named, look for one
  kOutputParallel = 1,
  kOutputSerial = 2,
  kOutputFtdi = 3,
};

// What the port argument names: "COM1" to "COM256" (any case, at most one
// ':' at the end), "FTDI" (any case: the first FTDI device listed) or
// "FTDI:" and a serial number (compared exactly); nothing at all; anything
// else is for the parallel port to take or refuse, as it always was.
struct OutputArgument {
  LedOutputKind kind;
  int32_t serialPort;      // the COM port's number
  std::string ftdiSerial;  // empty: the first device listed
};
OutputArgument ReadOutputArgument(const char* text);

enum OpenOutputStatus : int32_t {
  kOpenOutputOk = 0,
  kOpenOutputNoneFound = 1,       // none named, and no output found
  kOpenOutputParallelFailed = 2,  // the named (or first found) parallel port did not open
  kOpenOutputUsbFailed = 3,       // LedOutputFailure says which device and why
};

// Opens what the argument names, closing an output open before. With none
// named: the first parallel port the system lists, else an FTDI device
// described "Pipstack...", else the first serial port whose device says it
// is a Pipstack LED controller.
int32_t OpenLedOutput(const char* argument);
// For kOpenOutputUsbFailed: the device and the reason, in a few words.
const std::string& LedOutputFailure();

LedOutputKind LedOutputInUse();
// How a USB output is named: "Pipstack LED controller on COM5",
// "FTDI FT232R A50285BI"; empty for the parallel port, which has its own.
std::string UsbOutputLabel();

// A USB output that goes away while the meter runs is an unplug, not a
// fault: its writes succeed meanwhile and are kept, and RetryLedOutput,
// called this often, brings the device back with the last byte.
constexpr uint32_t kOutputRetryMs = 250;
bool IsLedOutputConnected();
void RetryLedOutput();

// Puts the output back as it found it (the parallel port's registers) or
// dark (the USB outputs), and lets it go. Harmless when none is open.
void CloseLedOutput();
