// Fuzz target: LoadSettings and SaveSettings, with the registry value rules,
// over a stand-in of the settings key whose values the input makes: missing,
// or of any registry type with any bytes (zeros included); a key that does
// not exist yet; a failure at any access; and either family of sources at
// every probe. Checks that a load stops at the first value that fails (an
// access, or a number in more than four bytes) and reads nothing after it;
// that a number stored as text or without data loads its default, which
// replaces it as a DWORD; that the models hold what was read; and that a save
// writes every number as a DWORD and every source as a string, stopping at
// its first failing write.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
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
#include "settings/settings_key.h"
#include "settings/settings_store.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

namespace {

constexpr uint8_t kFailMarker = 0xFF;
constexpr size_t kLongestData = 1024;
// The drawn types: every type the registry has, and one it does not know.
constexpr uint32_t kTypeCount = kStoredQword + 1;
constexpr uint32_t kUnknownType = 0x12345;

constexpr std::array<int32_t, kLedCount> kDefaultFloors = {0, 10, 20, 30, 40, 55, 70, 85};

struct Value {
  uint32_t type = kStoredNone;
  std::string bytes;  // empty: missing, or no data
};

// The choices (which value fails, what a value is) come off the input's end,
// the bytes of the values off its front.
struct Run {
  FuzzedDataProvider* in = nullptr;
  bool pdh = false;         // the probe's last answer
  bool keyExisted = false;  // before the load: else every value is missing
  bool keyExists = false;
  bool saving = false;
  std::map<std::string, Value> key;  // the stand-in key
  std::map<std::string, bool> drawn;
  std::string failedName;                  // the first value whose access failed or that is no number
  std::map<std::string, Value> firstRead;  // as the load found each value
  std::map<std::string, bool> readFamily;
  std::map<std::string, Value> defaultsWritten;  // by the load
  std::map<std::string, bool> writtenFamily;     // by the save
  std::array<std::optional<std::string>, kLedCount> counterPaths;
};

Run run;

std::string Name(const char* nameTemplate, int32_t index) {
  std::string name(nameTemplate);
  name[name.find('x')] = static_cast<char>('1' + index);
  return name;
}

bool IsSource(const std::string& name) { return name.find("Source") != std::string::npos; }

bool IsText(uint32_t type) { return type == kStoredText || type == kStoredExpandableText || type == kStoredMultiText; }

// What the load must take a number value for, independently of the product:
// text, a quad word, no data or more than four bytes is missing; a big-endian
// number has exactly four.
bool IsMissingNumber(const Value& v) {
  if (v.bytes.empty() || IsText(v.type) || v.type == kStoredQword) return true;
  return v.type == kStoredDwordBigEndian ? v.bytes.size() != 4 : v.bytes.size() > 4;
}

int32_t DefaultNumber(const std::string& name) {
  if (name == "Write Delay") return 40;
  if (name == "Interpolation") return kInterpolationOff;
  if (name.find("Ceiling") != std::string::npos) return 100;
  return kDefaultFloors[name[4] - '1'];
}

std::string DefaultText(bool pdh) { return pdh ? kDefaultCounterPath : "CPU"; }

Value DwordValue(int32_t number) {
  std::string bytes(sizeof number, '\0');
  std::memcpy(&bytes[0], &number, sizeof number);
  return Value{kStoredDword, bytes};
}

int32_t Number(const Value& v) {
  char four[sizeof(int32_t)] = {};
  std::memcpy(four, v.bytes.data(), v.bytes.size());
  if (v.type == kStoredDwordBigEndian) std::reverse(four, four + sizeof four);
  int32_t number = 0;
  std::memcpy(&number, four, sizeof four);
  return number;
}

// The text a read hands back: up to the first zero, never past the byte
// before the last stored one.
std::string Text(const std::string& bytes) {
  const std::string within = bytes.substr(0, bytes.size() - 1);
  return within.substr(0, within.find('\0'));
}

// Every access is its own failure point; nothing is accessed after one.
bool TakeFailure(const std::string& name, int32_t statusCount, int32_t firstStatus, int32_t* status) {
  FUZZ_CHECK(run.failedName.empty());
  if (run.in->ConsumeIntegral<uint8_t>() != kFailMarker) return false;
  *status = run.in->ConsumeIntegralInRange(firstStatus, firstStatus + statusCount - 1);
  run.failedName = name;
  return true;
}

Value Draw() {
  if (!run.in->ConsumeBool()) return Value{};
  const uint32_t pick = run.in->ConsumeIntegralInRange<uint32_t>(0, kTypeCount);
  const size_t length = run.in->ConsumeIntegralInRange<size_t>(0, kLongestData);
  return Value{pick == kTypeCount ? kUnknownType : pick, run.in->ConsumeBytesAsString(length)};
}

int32_t ExpectedLoadStatus() {
  const std::string& n = run.failedName;
  if (n.empty()) return kLoadOk;
  if (IsSource(n)) return kLoadSourceFailed;
  if (n.find("Floor") != std::string::npos) return kLoadFloorFailed;
  if (n.find("Ceiling") != std::string::npos) return kLoadCeilingFailed;
  return n == "Write Delay" ? kLoadWriteDelayFailed : kLoadInterpolationFailed;
}

int32_t ExpectedSaveStatus() {
  const std::string& n = run.failedName;
  if (n.empty()) return kSaveOk;
  if (IsSource(n)) return kSaveSourceFailed;
  if (n.find("Floor") != std::string::npos) return kSaveFloorFailed;
  if (n.find("Ceiling") != std::string::npos) return kSaveCeilingFailed;
  return n == "Write Delay" ? kSaveWriteDelayFailed : kSaveInterpolationFailed;
}

// What the load must have made of a value, and the default it wrote when it
// found the value missing.
int32_t LoadedNumber(const std::string& name) {
  const Value& first = run.firstRead.at(name);
  if (!IsMissingNumber(first)) {
    FUZZ_CHECK(run.defaultsWritten.count(name) == 0);
    return Number(first);
  }
  FUZZ_CHECK(run.defaultsWritten.count(name) == 1);
  const Value& written = run.defaultsWritten.at(name);
  FUZZ_CHECK(written.type == kStoredDword && written.bytes == DwordValue(DefaultNumber(name)).bytes);
  return DefaultNumber(name);
}

std::string LoadedText(const std::string& name) {
  const Value& first = run.firstRead.at(name);
  if (!first.bytes.empty()) {
    FUZZ_CHECK(run.defaultsWritten.count(name) == 0);
    return Text(first.bytes);
  }
  const std::string text = DefaultText(run.readFamily.at(name));
  FUZZ_CHECK(run.defaultsWritten.count(name) == 1);
  const Value& written = run.defaultsWritten.at(name);
  FUZZ_CHECK(written.type == kStoredText && written.bytes == text + '\0');
  return text;
}

void CheckLoadedModels() {
  FUZZ_CHECK(run.firstRead.size() == 3 * kLedCount + 2);
  for (int32_t i = 0; i < kLedCount; ++i) {
    const std::string source = Name("LED x Source", i);
    const std::string text = LoadedText(source);
    if (run.readFamily.at(source)) {
      FUZZ_CHECK(run.counterPaths[i].has_value() && *run.counterPaths[i] == text);
    } else {
      FUZZ_CHECK(GetSourceKind(i) == (text == "CPU" ? kSourceCpu : kSourceMem));
    }
    int32_t floor = 0, ceiling = 0;
    FUZZ_CHECK(GetLedRange(i, &floor, &ceiling) == 0);
    FUZZ_CHECK(floor == LoadedNumber(Name("LED x Floor", i)));
    FUZZ_CHECK(ceiling == LoadedNumber(Name("LED x Ceiling", i)));
  }
  const int32_t interpolation = LoadedNumber("Interpolation");
  const int32_t delay = LoadedNumber("Write Delay");
  if (interpolation == kInterpolationOff || IsLedIndex(interpolation)) {
    FUZZ_CHECK(CurrentMeterOptions().interpolationLed == interpolation);
    if (delay > 0) FUZZ_CHECK(CurrentMeterOptions().writeDelay == delay);
  }
  FUZZ_CHECK(CurrentMeterOptions().writeDelay > 0);
}

void CheckSaved() {
  for (int32_t i = 0; i < kLedCount; ++i) {
    int32_t floor = 0, ceiling = 0;
    GetLedRange(i, &floor, &ceiling);
    FUZZ_CHECK(run.key.at(Name("LED x Floor", i)).type == kStoredDword);
    FUZZ_CHECK(run.key.at(Name("LED x Floor", i)).bytes == DwordValue(floor).bytes);
    FUZZ_CHECK(run.key.at(Name("LED x Ceiling", i)).bytes == DwordValue(ceiling).bytes);
    // A source survives a save in the family it was read in.
    const std::string source = Name("LED x Source", i);
    const Value& saved = run.key.at(source);
    FUZZ_CHECK(saved.type == kStoredText && !saved.bytes.empty() && saved.bytes.back() == '\0');
    const bool pdhLoaded = run.readFamily.at(source);
    if (pdhLoaded != run.writtenFamily.at(source)) continue;
    const std::string loaded = LoadedText(source);
    FUZZ_CHECK(Text(saved.bytes) == (pdhLoaded ? loaded : loaded == "CPU" ? "CPU" : "MEM"));
  }
  FUZZ_CHECK(run.key.at("Write Delay").bytes == DwordValue(CurrentMeterOptions().writeDelay).bytes);
  FUZZ_CHECK(run.key.at("Interpolation").bytes == DwordValue(CurrentMeterOptions().interpolationLed).bytes);
}

}  // namespace

int32_t GetStoredValue(const char* name, StoredValue* value, bool* keyCreated) {
  FUZZ_CHECK(name != nullptr && value != nullptr && keyCreated != nullptr && !run.saving);
  int32_t status = 0;
  if (TakeFailure(name, 3, kSettingsKeyNotOpened, &status)) return status;
  *keyCreated = !run.keyExists;
  // A key the load made is empty; otherwise a value is as the input has it
  // the first time it is read, and as written after that.
  if (!run.drawn[name]) {
    run.drawn[name] = true;
    if (run.keyExisted) {
      const Value drawn = Draw();
      if (!drawn.bytes.empty()) run.key[name] = drawn;
    }
  }
  run.keyExists = true;
  const Value stored = run.key.count(name) != 0 ? run.key[name] : Value{};
  if (run.firstRead.count(name) == 0) {
    run.firstRead[name] = stored;
    run.readFamily[name] = run.pdh;
  }

  // Exactly the stored bytes, so that a read past them is caught.
  value->type = stored.type;
  value->size = static_cast<uint32_t>(stored.bytes.size());
  value->data.reset(stored.bytes.empty() ? nullptr : new char[stored.bytes.size()]);
  if (!stored.bytes.empty()) std::memcpy(value->data.get(), stored.bytes.data(), stored.bytes.size());
  return kSettingsKeyOk;
}

int32_t SetStoredValue(const char* name, uint32_t type, const void* data, uint32_t size) {
  FUZZ_CHECK(name != nullptr && data != nullptr && size > 0);
  int32_t status = 0;
  if (TakeFailure(name, 2, kSettingsKeyNotOpened, &status)) {
    return status == kSettingsKeyNotOpened ? status : kSettingsKeyNotSet;
  }
  run.keyExists = true;
  const Value written{type, std::string(static_cast<const char*>(data), size)};
  run.key[name] = written;
  if (run.saving) {
    run.writtenFamily[name] = run.pdh;
  } else {
    FUZZ_CHECK(run.defaultsWritten.count(name) == 0);  // at most once per value
    run.defaultsWritten[name] = written;
  }
  return kSettingsKeyOk;
}

int32_t IsPdhAvailable() {
  run.pdh = run.in->ConsumeBool();
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
  FuzzedDataProvider in(data, size);
  run = Run{};
  run.in = &in;
  run.keyExisted = in.ConsumeBool();
  run.keyExists = run.keyExisted;
  ResetMeterSettings();
  ResetSourceKinds();

  const int32_t status = LoadSettings();
  FUZZ_CHECK(status == ExpectedLoadStatus());
  if (status != kLoadOk) return 0;
  CheckLoadedModels();

  run.saving = true;
  const int32_t saved = SaveSettings();
  FUZZ_CHECK(saved == ExpectedSaveStatus());
  if (saved == kSaveOk) CheckSaved();
  return 0;
}
