// The Linux side of a simulated serial device: a pseudo-terminal whose slave a
// symlink names (what Wine's COM port mapping and the tests open), the pid
// file, and the stop file or signal that ends the device. One per process.
//
// Files beside PATH: PATH.pid holds the process id while the device runs;
// creating PATH.stop (or SIGTERM, SIGINT) asks it to end. On the way out PATH
// and PATH.pid are removed. Ending the process closes the pty's master side,
// which is what an unplug looks like to whoever has the slave open.
#pragma once

#include <string>

enum PtyEndpointStatus : int {
  kPtyEndpointOk = 0,
  kPtyEndpointNoPty = 1,       // no pseudo-terminal could be made
  kPtyEndpointPathTaken = 2,   // PATH is something other than a symlink
  kPtyEndpointLinkFailed = 3,  // the symlink or the pid file could not be written
};

// Makes the pty (raw, so bytes pass unchanged both ways), points PATH at its
// slave (replacing a stale link), writes PATH.pid and catches SIGTERM and
// SIGINT. The slave stays open here too, so that the pty lives on between the
// openings of whoever uses the device. On failure it leaves nothing behind;
// error then says why.
PtyEndpointStatus StartPtyEndpoint(const std::string& path, std::string* error);

// The pty's master side: what the device reads and writes.
int PtyEndpointMaster();

// True once PATH.stop has appeared (it is removed) or a signal came.
bool PtyEndpointEndRequested();

// Removes PATH and PATH.pid. The pty itself closes with the process.
void StopPtyEndpoint();
