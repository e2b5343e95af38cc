// Which port a port name names: the number from its fourth character on.
#pragma once

#include <cstdint>

// The decimal number at the fourth character by atoi rules (clamped, never
// overflowing); 0 for a missing name or one shorter than four characters.
// The first three characters are not examined, so COM2 gives 2.
int32_t PortNumberFromName(const char* name);
