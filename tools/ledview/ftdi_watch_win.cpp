// Reads the watched FTDI device from the emulated devices' shared section.
#include "tools/ledview/ftdi_watch.h"

#include <windows.h>

#include "emulation/ftdi/virtual_ftdi_view_win.h"
#include "tools/ledview/write_age.h"

namespace {

VirtualFtdiView view{};
int watchedSlot = kFtdiLedBoardSlot;

}  // namespace

int32_t StartFtdiWatch(int slot) {
  watchedSlot = slot;
  return OpenVirtualFtdi(kVirtualFtdiCreate, &view);
}

FtdiState WatchFtdi() {
  const FtdiDeviceSnapshot snapshot = PeekFtdiDevice(view, watchedSlot);
  const FtdiDevice& device = snapshot.device;
  FtdiState state{};
  state.serialNumber = device.serialNumber;
  state.description = device.description;
  state.plugged = device.plugged != 0;
  state.open = snapshot.open;
  // Held by the knob, the device names no process; the record's opener may
  // also have ended unnoticed, and then it is not open.
  state.openerProcessId = snapshot.open && device.openElsewhere == 0 ? device.openerProcessId : 0;
  state.bitMode = device.bitMode;
  state.mask = device.mask;
  state.pins = device.pins;
  state.written = device.writeCount > 0;
  if (state.written) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // The writers' performance counters run on one clock for every process.
    state.writeAgeMs = TicksToMilliseconds(now.QuadPart - device.lastWriteTime, view.machine->timerFrequency);
  }
  return state;
}

void StopFtdiWatch() { CloseVirtualFtdi(&view); }
