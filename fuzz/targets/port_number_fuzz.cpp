// Fuzz target: the port number in a port name, for names of any length and
// content (a command line is any text).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/text_number.h"
#include "fuzz/targets/fuzz_check.h"
#include "port/port_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly the name and its terminating zero: a read beyond is caught.
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRemainingBytesAsString();
  std::unique_ptr<char[]> name(new char[text.size() + 1]);
  std::memcpy(name.get(), text.c_str(), text.size() + 1);
  const size_t length = std::strlen(name.get());
  const int32_t number = PortNumberFromName(name.get());
  FUZZ_CHECK(number == (length < 3 ? 0 : ParseDecimal(name.get() + 3)));
  return 0;
}
