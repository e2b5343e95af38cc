// Fuzz target: the program's reader of a serial device's answers, for any
// bytes split into reads of any sizes. It must find the identity exactly in
// the reads that complete a line that is the identity, whatever came before.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/targets/fuzz_check.h"
#include "port/controller_answer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  LedLineReader reader;
  ResetLedLine(&reader);
  const std::string identity = kLedIdentityLine;
  std::string line;  // the stream since its last LF, as the model sees it
  while (input.remaining_bytes() > 0) {
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, 48);
    const std::vector<char> read = input.ConsumeBytes<char>(length);
    // Independently of the product: a line is what lies between two LFs,
    // a CR just before its LF aside.
    bool completes = false;
    for (const char byte : read) {
      if (byte != '\n') {
        line += byte;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      completes |= line == identity;
      line.clear();
    }
    FUZZ_CHECK(HeardIdentity(&reader, read.data(), read.size()) == completes);
  }
  return 0;
}
