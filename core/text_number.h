// Text to number by the rules of the C library's atoi, without its undefined
// behaviour: port numbers in port names and the numbers typed into the dialog.
#pragma once

#include <cstdint>

// Leading white space, an optional sign, then decimal digits up to the first
// other character; no digits give 0. A number beyond 32 bits gives the
// nearest 32-bit value. A missing text gives 0.
int32_t ParseDecimal(const char* text);
