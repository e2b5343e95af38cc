// Scriptable stand-ins for the sources the configuration dialog reads and sets.
#include "tests/fakes/source_fakes.h"

#include <windows.h>

#include "sources/counter_browser_win.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

SourceFakes sources;

void ResetSourceFakes() { sources = SourceFakes{}; }

int32_t IsPdhAvailable() { return sources.pdhAvailable; }

const char* GetCounterPath(int32_t index) { return IsLedIndex(index) ? sources.counterPaths[index] : nullptr; }

int32_t BrowseCounterForLed(HWND owner, int32_t index) {
  sources.browses.emplace_back(owner, index);
  if (sources.pathAfterBrowse != nullptr && IsLedIndex(index)) sources.counterPaths[index] = sources.pathAfterBrowse;
  return 0;
}

int32_t GetSourceKind(int32_t index) { return IsLedIndex(index) ? sources.kinds[index] : -1; }

int32_t SetSourceKind(int32_t index, int32_t kind) {
  sources.setKinds.emplace_back(index, kind);
  if (!IsLedIndex(index)) return -1;
  sources.kinds[index] = kind;
  return 0;
}

const char* GetSourceKindLabel(int32_t index) {
  if (!IsLedIndex(index)) return nullptr;
  return sources.kinds[index] == kSourceCpu ? "CPU Utilization (%)" : "Memory Used (MB)";
}

void ReadSourcesForDisplay(SourceReadings* readings) {
  ++sources.displayReads;
  *readings = sources.readings;
}
