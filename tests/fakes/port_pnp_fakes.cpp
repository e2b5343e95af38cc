// The Plug and Play lookup answered from the test's table.
#include "tests/fakes/port_pnp_fakes.h"

FakePlugAndPlay plugAndPlay;

void ResetFakePlugAndPlay() { plugAndPlay = FakePlugAndPlay{}; }

bool PlugAndPlayPortBase(int32_t number, uint32_t* base) {
  plugAndPlay.asked.push_back(number);
  const auto known = plugAndPlay.bases.find(number);
  if (known == plugAndPlay.bases.end()) return false;
  *base = known->second;
  return true;
}
