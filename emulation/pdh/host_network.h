// The host's network interfaces and their traffic, as Wine's IP helper reports them.
#pragma once

#include "emulation/pdh/host_snapshot.h"

// Appends every interface but the loopback, which Windows does not count either.
void ReadNetworks(HostSnapshot& snapshot);
