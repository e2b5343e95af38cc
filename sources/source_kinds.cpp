// The legacy family's per-LED source kinds and their labels.
#include "sources/source_kinds.h"

namespace {

// The configuration dialog's labels. Select Data Source lists the memory
// kind as "RAM Utilization (MB)" (source_dialog_win.h): the two texts differ
// on purpose and users know both.
constexpr char kCpuLabel[] = "CPU Utilization (%)";
constexpr char kMemLabel[] = "Memory Used (MB)";

// Every LED starts on the processor, until the settings are loaded.
std::array<int32_t, kLedCount> sourceKinds{};

}  // namespace

int32_t GetSourceKind(int32_t index) {
  if (!IsLedIndex(index)) return kSourceKindBadIndex;
  return sourceKinds[index];
}

int32_t SetSourceKind(int32_t index, int32_t kind) {
  if (!IsLedIndex(index)) return kSourceKindBadIndex;
  sourceKinds[index] = kind;
  return 0;
}

// Only kind 0 is the processor; every other value reads and shows as memory.
const char* GetSourceKindLabel(int32_t index) {
  if (!IsLedIndex(index)) return nullptr;
  return sourceKinds[index] == kSourceCpu ? kCpuLabel : kMemLabel;
}

void ResetSourceKinds() { sourceKinds.fill(kSourceCpu); }
