// A stand-in for the Plug and Play lookup: the bases the test says the
// system allocated, by port number, and the numbers asked for.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "port/port_pnp.h"

struct FakePlugAndPlay {
  std::map<int32_t, uint32_t> bases;  // by port number; others unknown
  std::vector<int32_t> asked;
};

extern FakePlugAndPlay plugAndPlay;

void ResetFakePlugAndPlay();
