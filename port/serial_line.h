// One serial port as the LED controller needs it, and the system's list of
// them: the platform calls behind the serial controller. Defined for Windows
// in serial_line_win.cpp; test programs link their own in its place.
#pragma once

#include <cstdint>
#include <vector>

// An open port; closed while handle is null.
struct SerialLine {
  void* handle = nullptr;
};

enum SerialLineStatus : int32_t {
  kSerialLineOk = 0,
  kSerialLineNotOpened = 1,  // absent, or held by another program
  kSerialLineNotSet = 2,     // the port refused the line settings
};

// Opens \\.\COMn at 115200 baud, 8 data bits, no parity, one stop bit, no
// flow control; reads return at once with what has arrived, and a write
// gives up after kSerialWriteLimitMs. Controls a port may not support (DTR,
// RTS) are not asked for.
int32_t OpenSerialLine(int32_t number, SerialLine* line);
// Harmless on a closed line.
void CloseSerialLine(SerialLine* line);

// A stalled device must not hold the meter: a write that has not gone out
// by then fails.
constexpr uint32_t kSerialWriteLimitMs = 100;

// True when every byte went out.
bool WriteSerialLine(const SerialLine& line, const char* bytes, uint32_t size);
// What has arrived, without waiting: the number of bytes put in buffer, or
// -1 when the port failed (the device went away).
int32_t ReadSerialLine(const SerialLine& line, char* buffer, uint32_t size);

// The port numbers the system lists as serial ports, in its order.
std::vector<int32_t> ListSerialPorts();

// A millisecond clock that only goes forward (it may wrap), and a pause on
// it, for the wait for a device's answer.
uint32_t SerialClockMs();
void PauseSerialMs(uint32_t milliseconds);
