// Recording stand-ins for the completion box of the test patterns and the
// save at the end of a Windows session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AppFakes {
  std::vector<std::string> boxes;    // every completion text shown
  std::vector<int32_t> writesAtBox;  // how many LED bytes had been written when each box came up
  int32_t sessionEndCalls = 0;
};

extern AppFakes app;

void ResetAppFakes();
