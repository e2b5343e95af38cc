// The legacy family for the store tests: pdh.dll cannot be loaded (the test
// runs with WINEDLLOVERRIDES=pdh=d), so every LED has a source kind.
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"
#include "tests/settings/source_family.h"

bool StartSourceFamily() {
  ResetSourceKinds();
  return IsPdhAvailable() == 0;
}

void StopSourceFamily() { ResetSourceKinds(); }

void ResetSourceFamily() { ResetSourceKinds(); }

std::string DefaultSourceText() { return "CPU"; }

std::string ChangeSource(int32_t index) {
  SetSourceKind(index, kSourceMem);
  return "MEM";
}

std::string CurrentSourceText(int32_t index) { return GetSourceKind(index) == kSourceCpu ? "CPU" : "MEM"; }
