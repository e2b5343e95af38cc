// Binding pdh.dll at run time, so that the program also starts where the
// library is missing, and the forwarders every library call goes through.
#include "sources/pdh_binding_win.h"

#include "core/scoped_win.h"

namespace {

constexpr char kLibraryName[] = "pdh.dll";

PdhBinding pdhBinding{};

}  // namespace

const PdhBinding& CurrentPdhBinding() { return pdhBinding; }

int32_t LoadPdhBinding() {
  UnloadPdhBinding();
  pdhBinding.library = LoadLibraryA(kLibraryName);
  if (pdhBinding.library == nullptr) return kPdhBindingNoLibrary;
  // Each entry point is stored the moment it is found, so a later failure
  // leaves the earlier ones in the table; the slots have <pdh.h>'s types.
  if (!ResolveEntryPoint(pdhBinding.library, "PdhOpenQueryA", &pdhBinding.openQuery)) return kPdhBindingNoOpenQuery;
  if (!ResolveEntryPoint(pdhBinding.library, "PdhCloseQuery", &pdhBinding.closeQuery)) return kPdhBindingNoCloseQuery;
  if (!ResolveEntryPoint(pdhBinding.library, "PdhAddCounterA", &pdhBinding.addCounter)) return kPdhBindingNoAddCounter;
  if (!ResolveEntryPoint(pdhBinding.library, "PdhRemoveCounter", &pdhBinding.removeCounter))
    return kPdhBindingNoRemoveCounter;
  if (!ResolveEntryPoint(pdhBinding.library, "PdhBrowseCountersA", &pdhBinding.browseCounters))
    return kPdhBindingNoBrowseCounters;
  if (!ResolveEntryPoint(pdhBinding.library, "PdhGetFormattedCounterValue", &pdhBinding.getFormattedCounterValue)) {
    return kPdhBindingNoGetFormattedCounterValue;
  }
  if (!ResolveEntryPoint(pdhBinding.library, "PdhCollectQueryData", &pdhBinding.collectQueryData))
    return kPdhBindingNoCollectQueryData;
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
