// The LED viewer's command line. Platform-free.
#pragma once

#include <cstdint>

struct ViewerOptions {
  int portIndex;  // of the emulated ports: 0 is LPT1
  bool once;      // print one frame and exit
  bool help;
};

enum ViewerOptionsStatus : int32_t {
  kOptionsOk = 0,
  kOptionsUnknown = 1,   // an option this program does not know
  kOptionsBadPort = 2,   // a port name that names no emulated port
  kOptionsTwoPorts = 3,  // more than one port named
};

// argv[1..argc-1]: "--once", "--help" (or "-h", "/?"), and at most one port:
// a name the BIOS lists ("LPT1" in any case, or "1") or the base address of
// an emulated port ("0xD010"). Fills options with LPT1 and a live view for
// what is not given.
int32_t ParseViewerOptions(int argc, const char* const* argv, ViewerOptions* options);

// What --help prints, and what a wrong command line prints before it.
extern const char kViewerUsage[];
