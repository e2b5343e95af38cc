// Binding pdh.dll at run time, so that the program also starts where the
// library is missing, and the forwarders every library call goes through.
#include "sources/pdh_binding.h"

PdhBinding pdhBinding{};

namespace {

constexpr char kLibraryName[] = "pdh.dll";

// Stores the entry point the moment it is found, so a later failure leaves
// the earlier ones in the table. The type comes from the declaration in
// <pdh.h>: a wrong prototype would not compile.
template <typename EntryPoint>
bool Resolve(const char* name, EntryPoint* slot) {
  const FARPROC found = GetProcAddress(pdhBinding.library, name);
  if (found == nullptr) return false;
  *slot = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(found));
  return true;
}

}  // namespace

int32_t LoadPdhBinding() {
  UnloadPdhBinding();
  pdhBinding.library = LoadLibraryA(kLibraryName);
  if (pdhBinding.library == nullptr) return kPdhBindingNoLibrary;
  if (!Resolve("PdhOpenQueryA", &pdhBinding.openQuery)) return kPdhBindingNoOpenQuery;
  if (!Resolve("PdhCloseQuery", &pdhBinding.closeQuery)) return kPdhBindingNoCloseQuery;
  if (!Resolve("PdhAddCounterA", &pdhBinding.addCounter)) return kPdhBindingNoAddCounter;
  if (!Resolve("PdhRemoveCounter", &pdhBinding.removeCounter)) return kPdhBindingNoRemoveCounter;
  if (!Resolve("PdhBrowseCountersA", &pdhBinding.browseCounters)) return kPdhBindingNoBrowseCounters;
  if (!Resolve("PdhGetFormattedCounterValue", &pdhBinding.getFormattedCounterValue)) {
    return kPdhBindingNoGetFormattedCounterValue;
  }
  if (!Resolve("PdhCollectQueryData", &pdhBinding.collectQueryData)) return kPdhBindingNoCollectQueryData;
  return kPdhBindingOk;
}

void UnloadPdhBinding() {
  if (pdhBinding.library == nullptr) return;
  const HMODULE library = pdhBinding.library;
  pdhBinding = PdhBinding{};
  FreeLibrary(library);
}

PDH_STATUS BoundPdhOpenQueryA(LPCSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query) {
  if (pdhBinding.openQuery == nullptr) return kPdhNotBound;
  return pdhBinding.openQuery(dataSource, userData, query);
}

PDH_STATUS BoundPdhCloseQuery(PDH_HQUERY query) {
  if (pdhBinding.closeQuery == nullptr) return kPdhNotBound;
  return pdhBinding.closeQuery(query);
}

PDH_STATUS BoundPdhAddCounterA(PDH_HQUERY query, LPCSTR path, DWORD_PTR userData, PDH_HCOUNTER* counter) {
  if (pdhBinding.addCounter == nullptr) return kPdhNotBound;
  return pdhBinding.addCounter(query, path, userData, counter);
}

PDH_STATUS BoundPdhRemoveCounter(PDH_HCOUNTER counter) {
  if (pdhBinding.removeCounter == nullptr) return kPdhNotBound;
  return pdhBinding.removeCounter(counter);
}

PDH_STATUS BoundPdhBrowseCountersA(PDH_BROWSE_DLG_CONFIG_A* config) {
  if (pdhBinding.browseCounters == nullptr) return kPdhNotBound;
  return pdhBinding.browseCounters(config);
}

PDH_STATUS BoundPdhGetFormattedCounterValue(PDH_HCOUNTER counter, DWORD format, LPDWORD type,
                                            PDH_FMT_COUNTERVALUE* value) {
  if (pdhBinding.getFormattedCounterValue == nullptr) return kPdhNotBound;
  return pdhBinding.getFormattedCounterValue(counter, format, type, value);
}

PDH_STATUS BoundPdhCollectQueryData(PDH_HQUERY query) {
  if (pdhBinding.collectQueryData == nullptr) return kPdhNotBound;
  return pdhBinding.collectQueryData(query);
}
