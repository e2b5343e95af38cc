// Fuzz target: LoadSettings and SaveSettings over stand-ins of the registry
// value reads that hand out whatever the input says: texts of any length and
// bytes (zeros included), any DWORD, failures at any read, and either family
// of sources at every probe. Checks the status names the first failing read,
// nothing is read after it, and what was read is what the models hold and
// what a save writes back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/meter_settings.h"
#include "fuzz/targets/fuzz_check.h"
#include "fuzz/targets/fuzz_input.h"
#include "settings/registry_values.h"
#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

namespace {

constexpr uint8_t kFailMarker = 0xFF;
constexpr size_t kLongestText = 1024;

struct Run {
  FuzzInput in;
  bool pdh = false;        // the probe's last answer
  std::string failedName;  // the first read that failed
  int32_t reads = 0;
  std::map<std::string, std::string> texts;  // handed out, as the reader sees them
  std::map<std::string, bool> textFamily;    // the family in force at that read
  std::map<std::string, int32_t> dwords;
  std::map<std::string, std::string> written;
  std::map<std::string, bool> writtenFamily;
  std::map<std::string, int32_t> writtenDwords;
  std::array<std::optional<std::string>, kLedCount> counterPaths;
};

Run run;

// A failing read answers a nonzero status of its kind's range.
bool TakeFailure(const char* name, int32_t* status) {
  FUZZ_CHECK(run.failedName.empty());  // no read after a failure
  ++run.reads;
  if (TakeByte(&run.in) != kFailMarker) return false;
  *status = 1 + TakeByte(&run.in) % 5;
  run.failedName = name;
  return true;
}

std::string Name(const char* nameTemplate, int32_t index) {
  std::string name(nameTemplate);
  name[name.find('x')] = static_cast<char>('1' + index);
  return name;
}

int32_t ExpectedLoadStatus() {
  if (run.failedName.empty()) return kLoadOk;
  if (run.failedName.find("Source") != std::string::npos) return kLoadSourceFailed;
  if (run.failedName.find("Floor") != std::string::npos) return kLoadFloorFailed;
  if (run.failedName.find("Ceiling") != std::string::npos) return kLoadCeilingFailed;
  if (run.failedName == "Write Delay") return kLoadWriteDelayFailed;
  return kLoadInterpolationFailed;
}

void CheckLoadedModels() {
  for (int32_t i = 0; i < kLedCount; ++i) {
    const std::string source = Name("LED x Source", i);
    const std::string& text = run.texts.at(source);
    if (run.textFamily.at(source)) {
      FUZZ_CHECK(run.counterPaths[i].has_value() && *run.counterPaths[i] == text);
    } else {
      FUZZ_CHECK(GetSourceKind(i) == (text == "CPU" ? kSourceCpu : kSourceMem));
    }
    int32_t floor = 0, ceiling = 0;
    FUZZ_CHECK(GetLedRange(i, &floor, &ceiling) == 0);
    FUZZ_CHECK(floor == run.dwords.at(Name("LED x Floor", i)));
    FUZZ_CHECK(ceiling == run.dwords.at(Name("LED x Ceiling", i)));
  }
  const int32_t interpolation = run.dwords.at("Interpolation");
  const int32_t delay = run.dwords.at("Write Delay");
  if (interpolation == kInterpolationOff || IsLedIndex(interpolation)) {
    FUZZ_CHECK(CurrentMeterOptions().interpolationLed == interpolation);
    if (delay > 0) FUZZ_CHECK(CurrentMeterOptions().writeDelay == delay);
  }
  FUZZ_CHECK(CurrentMeterOptions().writeDelay > 0);
}

void CheckSaved() {
  FUZZ_CHECK(run.written.size() == kLedCount && run.writtenDwords.size() == 2 * kLedCount + 2);
  for (int32_t i = 0; i < kLedCount; ++i) {
    FUZZ_CHECK(run.writtenDwords.at(Name("LED x Floor", i)) == run.dwords.at(Name("LED x Floor", i)));
    FUZZ_CHECK(run.writtenDwords.at(Name("LED x Ceiling", i)) == run.dwords.at(Name("LED x Ceiling", i)));
    // A source survives a save in the family it was read in.
    const std::string source = Name("LED x Source", i);
    const std::string& loaded = run.texts.at(source);
    const std::string& saved = run.written.at(source);
    const bool pdhLoaded = run.textFamily.at(source);
    if (pdhLoaded != run.writtenFamily.at(source)) continue;
    FUZZ_CHECK(saved == (pdhLoaded ? loaded : loaded == "CPU" ? "CPU" : "MEM"));
  }
}

}  // namespace

int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText) {
  FUZZ_CHECK(name != nullptr && result != nullptr && defaultText != nullptr);
  int32_t status = 0;
  if (TakeFailure(name, &status)) return status;
  // Odd: the value was missing and its default was written; even: stored bytes.
  const std::string stored = TakeByte(&run.in) % 2 ? std::string(defaultText) : TakeBytes(&run.in, kLongestText);
  // Exactly the stored bytes and a terminating zero, so a read past it is caught.
  result->reset(new char[stored.size() + 1]);
  std::memcpy(result->get(), stored.data(), stored.size());
  (*result)[stored.size()] = '\0';
  run.texts[name] = std::string(result->get());
  run.textFamily[name] = run.pdh;
  return 0;
}

int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue) {
  FUZZ_CHECK(name != nullptr && result != nullptr);
  int32_t status = 0;
  if (TakeFailure(name, &status)) return status;
  *result = TakeByte(&run.in) % 2 ? defaultValue : static_cast<int32_t>(TakeWord(&run.in));
  run.dwords[name] = *result;
  return 0;
}

int32_t WriteStringValue(const char* name, const char* text) {
  FUZZ_CHECK(name != nullptr && text != nullptr);
  run.written[name] = text;
  run.writtenFamily[name] = run.pdh;
  return 0;
}

int32_t WriteDwordValue(const char* name, int32_t value) {
  FUZZ_CHECK(name != nullptr);
  run.writtenDwords[name] = value;
  return 0;
}

int32_t IsPdhAvailable() {
  run.pdh = TakeByte(&run.in) % 2 == 1;
  return run.pdh ? 1 : 0;
}

int32_t SetCounterPath(const char* path, int32_t index) {
  FUZZ_CHECK(path != nullptr && IsLedIndex(index));
  run.counterPaths[index] = std::string(path);
  return 0;
}

int32_t LoadCounterPath(const char* path, int32_t index) { return SetCounterPath(path, index); }

const char* GetCounterPath(int32_t index) {
  if (!IsLedIndex(index) || !run.counterPaths[index]) return nullptr;
  return run.counterPaths[index]->c_str();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  run = Run{};
  run.in = FuzzInput{data, size, 0};
  ResetMeterSettings();
  ResetSourceKinds();

  const int32_t status = LoadSettings();
  FUZZ_CHECK(status == ExpectedLoadStatus());
  if (status != kLoadOk) return 0;
  FUZZ_CHECK(run.reads == 3 * kLedCount + 2);
  CheckLoadedModels();

  FUZZ_CHECK(SaveSettings() == kSaveOk);
  CheckSaved();
  return 0;
}
