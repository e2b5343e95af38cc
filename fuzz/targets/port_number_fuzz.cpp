// Fuzz target: the number in a device name (LPT2, com7:), for names of any
// length and content (a command line is any text).
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/text_number.h"
#include "fuzz/targets/fuzz_check.h"
#include "port/port_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exactly the name and its terminating zero: a read beyond is caught.
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRemainingBytesAsString();
  std::unique_ptr<char[]> name(new char[text.size() + 1]);
  std::memcpy(name.get(), text.c_str(), text.size() + 1);
  const std::string whole = name.get();  // up to a zero in the input
  for (const char* prefix : {"lpt", "com"}) {
    // Independently of the product: the prefix in any case, a first digit
    // 1 to 9, digits, at most one ':' to end.
    bool named = whole.size() > 3;
    for (size_t i = 0; named && i < 3; ++i) named = std::tolower(static_cast<unsigned char>(whole[i])) == prefix[i];
    named = named && whole[3] >= '1' && whole[3] <= '9';
    size_t end = 4;
    while (named && end < whole.size() && std::isdigit(static_cast<unsigned char>(whole[end]))) ++end;
    if (named && end < whole.size() && whole[end] == ':') ++end;
    named = named && end == whole.size();
    const int32_t number = DeviceNameNumber(name.get(), prefix);
    FUZZ_CHECK(number == (named ? ParseDecimal(name.get() + 3) : 0));
    FUZZ_CHECK(!named || number > 0);
  }
  return 0;
}
