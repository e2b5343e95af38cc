// Stand-ins for the two USB outputs' platform calls: serial ports with a
// scripted device behind each, on a clock that only the pauses move, and
// FTDI's library with a list of devices.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "port/ftdi_library.h"
#include "port/serial_line.h"

// The device behind one serial port.
struct FakeSerialPort {
  bool present = true;      // opens; false: absent, or held by another program
  std::string answer;       // sent back for every "?" line heard; empty: silent
  uint32_t bootMs = 0;      // after each open it hears nothing for this long (a board that resets)
  bool failWrites = false;  // unplugged under an open line

  bool open = false;
  uint32_t openedAt = 0;
  int32_t opens = 0;
  std::string heard;    // every byte written to it
  std::string pending;  // what it has said and the line has not read yet
};

struct FakeSerial {
  std::map<int32_t, FakeSerialPort> ports;  // by number; the system lists them in this order
  uint32_t now = 0;                         // moved by PauseSerialMs only
};
extern FakeSerial serial;

struct FakeFtdiDevice {
  FtdiDevice listed;
  bool attached = true;
  bool refusesBitBang = false;
  bool failWrites = false;

  bool open = false;
  bool bitBang = false;
  std::vector<int32_t> writes;
};

struct FakeFtdi {
  int32_t loadStatus = kFtdiLibraryOk;
  std::string missing;  // for kFtdiLibraryIncomplete
  std::vector<FakeFtdiDevice> devices;
  bool loaded = false;
};
extern FakeFtdi ftdi;

// "A50285BI", described "Pipstack LEDs", and an ordinary cable.
FakeFtdiDevice PipstackBoard();
FakeFtdiDevice SerialCable();

void ResetUsbOutputFakes();
