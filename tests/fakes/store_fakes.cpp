// The store's recording fakes (see store_fakes.h).
#include "tests/fakes/store_fakes.h"

#include <cstring>

#include "settings/registry_values.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

FakeRegistry fakeRegistry;
FakeSources fakeSources;

void ResetStoreFakes() {
  fakeRegistry = FakeRegistry{};
  fakeSources = FakeSources{};
}

std::vector<std::string> CalledNames(const std::string& kind) {
  std::vector<std::string> names;
  const std::string prefix = kind + " ";
  for (const std::string& call : fakeRegistry.calls) {
    if (call.compare(0, prefix.size(), prefix) == 0) names.push_back(call.substr(prefix.size()));
  }
  return names;
}

namespace {

bool Fails(const char* name, int32_t* status) {
  if (fakeRegistry.failName != name) return false;
  *status = fakeRegistry.failStatus;
  return true;
}

}  // namespace

int32_t WriteDwordValue(const char* name, int32_t value) {
  fakeRegistry.calls.push_back(std::string("write ") + name);
  int32_t status = 0;
  if (Fails(name, &status)) return status;
  fakeRegistry.dwords[name] = value;
  return 0;
}

int32_t WriteStringValue(const char* name, const char* text) {
  fakeRegistry.calls.push_back(std::string("write ") + name);
  int32_t status = 0;
  if (Fails(name, &status)) return status;
  fakeRegistry.strings[name] = text;
  return 0;
}

int32_t ReadDwordValue(const char* name, int32_t* result, int32_t defaultValue) {
  fakeRegistry.calls.push_back(std::string("read ") + name);
  int32_t status = 0;
  if (Fails(name, &status)) return status;
  if (fakeRegistry.dwords.count(name) == 0) fakeRegistry.dwords[name] = defaultValue;
  *result = fakeRegistry.dwords[name];
  return 0;
}

int32_t ReadStringValue(const char* name, std::unique_ptr<char[]>* result, const char* defaultText) {
  fakeRegistry.calls.push_back(std::string("read ") + name);
  int32_t status = 0;
  if (Fails(name, &status)) return status;
  if (fakeRegistry.strings.count(name) == 0) fakeRegistry.strings[name] = defaultText;
  const std::string& text = fakeRegistry.strings[name];
  result->reset(new char[text.size() + 1]);
  std::memcpy(result->get(), text.c_str(), text.size() + 1);
  return 0;
}

int32_t IsPdhAvailable() {
  const std::vector<int32_t>& answers = fakeSources.pdhAnswers;
  const std::size_t at = fakeSources.pdhCalls < answers.size() ? fakeSources.pdhCalls : answers.size() - 1;
  ++fakeSources.pdhCalls;
  return answers[at];
}

int32_t SetCounterPath(const char* path, int32_t index) {
  fakeSources.counterPaths[index] = path;
  return 0;
}

int32_t LoadCounterPath(const char* path, int32_t index) { return SetCounterPath(path, index); }

const char* GetCounterPath(int32_t index) {
  if (!IsLedIndex(index) || !fakeSources.counterPaths[index]) return nullptr;
  return fakeSources.counterPaths[index]->c_str();
}

int32_t GetSourceKind(int32_t index) { return IsLedIndex(index) ? fakeSources.kinds[index] : -1; }

int32_t SetSourceKind(int32_t index, int32_t kind) {
  if (!IsLedIndex(index)) return -1;
  fakeSources.kinds[index] = kind;
  return 0;
}
