// Our pdh.dll, loaded by its full path, with its entry points typed by the platform's prototypes.
#include "pdh_library.h"

#include <gtest/gtest.h>

namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  EXPECT_NE(out, nullptr) << name;
}

PdhLibrary Load() {
  PdhLibrary library;
  library.module = LoadLibraryA(PIPSTACK_PDH_DLL);
  EXPECT_NE(library.module, nullptr) << PIPSTACK_PDH_DLL;
  if (library.module == nullptr) return library;
  Resolve(library.module, "PdhOpenQueryA", library.openQuery);
  Resolve(library.module, "PdhCloseQuery", library.closeQuery);
  Resolve(library.module, "PdhAddCounterA", library.addCounter);
  Resolve(library.module, "PdhRemoveCounter", library.removeCounter);
  Resolve(library.module, "PdhBrowseCountersA", library.browseCounters);
  Resolve(library.module, "PdhGetFormattedCounterValue", library.formattedValue);
  Resolve(library.module, "PdhCollectQueryData", library.collectQuery);
  // Wine's own library would not know \Memory; make sure ours was loaded.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(library.module, path, MAX_PATH);
  EXPECT_EQ(strstr(path, "system32"), nullptr) << path;
  return library;
}

}  // namespace

const PdhLibrary& Pdh() {
  static const PdhLibrary library = Load();
  return library;
}
