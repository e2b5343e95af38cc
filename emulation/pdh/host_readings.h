// Taking a snapshot of the host's figures, from Win32 calls Wine answers from the host.
#pragma once

#include "emulation/pdh/host_snapshot.h"

// Fills the groups asked for (ReadingGroup bits) and the time stamp; other
// groups are left empty. Figures that cannot be read stay at zero.
void ReadHostSnapshot(unsigned groups, HostSnapshot& snapshot);
