// Fuzz target: ParseDecimal (port numbers and the numbers typed into the
// dialog) on any text, checked against the C library's strtoll clamped to
// 32 bits.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/text_number.h"
#include "fuzz/targets/fuzz_check.h"

namespace {

int32_t Expected(const char* text) {
  errno = 0;
  const long long wide = std::strtoll(text, nullptr, 10);
  if (wide > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (wide < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(wide);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so a read past the terminating zero is caught.
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRemainingBytesAsString();
  FUZZ_CHECK(ParseDecimal(text.c_str()) == Expected(text.c_str()));
  return 0;
}
