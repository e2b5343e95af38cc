// Fuzz target: the counter path parser of our pdh.dll, on any text a program
// hands to PdhAddCounterA. A path it accepts is written out again and must
// read back the same; an instance name made safe must come back whole.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "emulation/pdh/counter_path.h"
#include "fuzz/targets/fuzz_check.h"

namespace {

// The instance part as a path carries it: "parent/name#index".
std::string InstanceText(const CounterPath& p) {
  std::string text;
  // An empty parent still needs its slash when the name holds one.
  if (!p.parent.empty() || p.instance.find('/') != std::string::npos) text += p.parent + "/";
  text += p.instance;
  // "#0" is written too when the name itself ends in "#digits", or the
  // parser would take those for the index.
  const size_t hash = p.instance.rfind('#');
  const std::string tail = hash == std::string::npos ? "" : p.instance.substr(hash + 1);
  const bool tailIsIndex =
      !tail.empty() && tail.size() <= 9 && tail.find_first_not_of("0123456789") == std::string::npos;
  if (p.index != 0 || tailIsIndex) text += "#" + std::to_string(p.index);
  return text;
}

void CheckRoundTrip(std::string_view text) {
  CounterPath first;
  if (ParseCounterPath(text, first) != PATH_OK) return;
  FUZZ_CHECK(!first.object.empty() && !first.counter.empty());
  FUZZ_CHECK(first.hasInstance == !first.instance.empty());
  const std::string again = FormatCounterPath(first.machine, first.object, InstanceText(first), first.counter);
  CounterPath second;
  FUZZ_CHECK(ParseCounterPath(again, second) == PATH_OK);
  FUZZ_CHECK(second.machine == first.machine && second.object == first.object);
  FUZZ_CHECK(second.parent == first.parent && second.instance == first.instance);
  FUZZ_CHECK(second.index == first.index && second.counter == first.counter);
}

void CheckSafeInstance(std::string_view name) {
  const std::string safe = InstanceSafeName(name);
  FUZZ_CHECK(safe.size() == name.size());
  if (safe.empty()) return;
  CounterPath p;
  FUZZ_CHECK(ParseCounterPath(FormatCounterPath("", "Object", safe, "Counter"), p) == PATH_OK);
  FUZZ_CHECK(p.instance == safe && p.parent.empty() && p.index == 0 && p.counter == "Counter");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string text = in.ConsumeRemainingBytesAsString();
  CheckRoundTrip(text);
  CheckSafeInstance(text);
  return 0;
}
