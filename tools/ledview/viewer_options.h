// The LED viewer's command line. Platform-free.
#pragma once

#include <cstdint>

// Which LEDs the viewer shows.
enum ViewerOutput : int32_t {
  kViewParallel = 0,  // a parallel port of the virtual machine
  kViewFtdi = 1,      // an emulated FTDI device
  kViewBoard = 2,     // the simulated LED controller on a COM port
};

struct ViewerOptions {
  int portIndex;  // of the emulated parallel ports: 0 is LPT1
  bool once;      // print one frame and exit
  bool help;
  ViewerOutput output;
  int ftdiSlot;   // of the emulated FTDI devices, for kViewFtdi
  int comNumber;  // COMn's n, for kViewBoard
};

enum ViewerOptionsStatus : int32_t {
  kOptionsOk = 0,
  kOptionsUnknown = 1,   // an option this program does not know
  kOptionsBadPort = 2,   // a port name that names no emulated port
  kOptionsTwoPorts = 3,  // more than one port named
};

// argv[1..argc-1]: "--once", "--help" (or "-h", "/?"), and at most one
// output: a parallel port the BIOS lists ("LPT1" in any case, or "1") or the
// base address of an emulated one ("0xD010"); "FTDI" for the emulated LED
// board or "FTDI:" and an emulated device's serial number; "COMn" (n of 1
// to 3 digits, not 0; in any case; at most one ':') for the simulated board. Fills options
// with LPT1 and a live view for what is not given.
int32_t ParseViewerOptions(int argc, const char* const* argv, ViewerOptions* options);

// What --help prints, and what a wrong command line prints before it.
extern const char kViewerUsage[];
