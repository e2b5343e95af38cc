// Loading the virtual port's WinIO library for the emulation's tests and their
// peer.
#include "tests/emulation/winio_library.h"

#include "core/scoped_win.h"

bool LoadWinIoLibrary(WinIoLibrary* library) {
  *library = WinIoLibrary{};
  SetDllDirectoryA(PIPSTACK_BIN_DIR);
  library->module = LoadLibraryA(kVirtualPortLibraryName);
  if (library->module == nullptr) return false;
  const HMODULE m = library->module;
  return ResolveEntryPoint(m, "InitializeWinIo", &library->InitializeWinIo) &&
         ResolveEntryPoint(m, "ShutdownWinIo", &library->ShutdownWinIo) &&
         ResolveEntryPoint(m, "GetPortVal", &library->GetPortVal) &&
         ResolveEntryPoint(m, "SetPortVal", &library->SetPortVal) &&
         ResolveEntryPoint(m, "GetPhysLong", &library->GetPhysLong) &&
         ResolveEntryPoint(m, "SetPhysLong", &library->SetPhysLong) &&
         ResolveEntryPoint(m, "MapPhysToLin", &library->MapPhysToLin) &&
         ResolveEntryPoint(m, "UnmapPhysicalMemory", &library->UnmapPhysicalMemory);
}

void FreeWinIoLibrary(WinIoLibrary* library) {
  if (library->module != nullptr) FreeLibrary(library->module);
  *library = WinIoLibrary{};
}
