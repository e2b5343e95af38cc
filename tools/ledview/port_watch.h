// The viewer's hold on the virtual machine: one port's registers and the
// journal's data writes, turned into the state a frame shows.
#pragma once

#include <cstdint>

#include "tools/ledview/parallel_frame.h"

// Opens the machine (creating it at power-on when no process has it yet, and
// keeping it alive while the viewer runs) and reads the journal held so far.
// The status of OpenVirtualPort.
int32_t StartPortWatch(int portIndex);
// The port now. Cheap when nothing was written: the registers and the
// journal's count are read, the journal itself only when it grew.
ParallelState WatchPort();
// Harmless when not started.
void StopPortWatch();
