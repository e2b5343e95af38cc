// Megabytes in use, in 64-bit arithmetic so that memory of 2 GiB and more
// comes out right instead of wrapping negative.
#include "sources/memory_used.h"

namespace {

constexpr uint64_t kBytesPerMb = uint64_t{1} << 20;

}  // namespace

int32_t MemoryUsedMb(uint64_t totalBytes, uint64_t availableBytes) {
  if (availableBytes >= totalBytes) return 0;
  const uint64_t mb = (totalBytes - availableBytes) / kBytesPerMb;
  return mb > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(mb);
}
