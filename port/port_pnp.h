// Where Plug and Play put a parallel port: the platform call behind the
// port access's choice of base address. Defined for Windows in
// port_pnp_win.cpp; test programs link their own in its place.
#pragma once

#include <cstdint>

// The start of the first I/O range allocated to the Ports-class device whose
// "PortName" names port number (LPTn). False when the system knows no such
// device, or the device has no I/O range allocated (older systems, Wine).
bool PlugAndPlayPortBase(int32_t number, uint32_t* base);
