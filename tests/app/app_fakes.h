// Recording stand-ins for what the dialogs call in the sources, the port and
// the program's shutdown, linked into the app's test programs in their place.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct OutputFakes {
  int32_t failWriteAt = -1;            // index of the write that fails, -1 never
  std::vector<int32_t> writes;         // every value handed to WriteLedByte, failed one included
  std::vector<int32_t> sleeps;         // every pause asked for
  std::vector<std::string> boxes;      // every completion text shown
  std::vector<int32_t> writesAtBox;    // how many writes had happened when each box came up
  int32_t sessionEndCalls = 0;
};

struct SourceFakes {
  int32_t pdhAvailable = 0;
  std::array<const char*, 8> counterPaths{};
  std::array<int32_t, 8> kinds{};
  std::vector<std::pair<void*, int32_t>> browses;  // owner window and LED index of each browse
  const char* pathAfterBrowse = nullptr;           // what a browse sets as the LED's counter path
  std::vector<std::pair<int32_t, int32_t>> setKinds;
};

extern OutputFakes output;
extern SourceFakes sources;

void ResetOutputFakes();
void ResetSourceFakes();
