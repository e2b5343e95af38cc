// Loading the virtual WinIO.dll for the emulation's tests and their peer.
#include "tests/emulation/winio_library.h"

namespace {

template <typename Entry>
bool Resolve(HMODULE module, const char* name, Entry* slot) {
  const FARPROC address = GetProcAddress(module, name);
  *slot = reinterpret_cast<Entry>(reinterpret_cast<void (*)()>(address));
  return address != nullptr;
}

}  // namespace

bool LoadWinIoLibrary(WinIoLibrary* library) {
  *library = WinIoLibrary{};
  SetDllDirectoryA(PIPSTACK_BIN_DIR);
  library->module = LoadLibraryA("WinIO.dll");
  if (library->module == nullptr) return false;
  const HMODULE m = library->module;
  return Resolve(m, "InitializeWinIo", &library->Initialize) && Resolve(m, "ShutdownWinIo", &library->Shutdown) &&
         Resolve(m, "GetPortVal", &library->GetPortVal) && Resolve(m, "SetPortVal", &library->SetPortVal) &&
         Resolve(m, "GetPhysLong", &library->GetPhysLong) && Resolve(m, "SetPhysLong", &library->SetPhysLong) &&
         Resolve(m, "MapPhysToLin", &library->MapPhysToLin) &&
         Resolve(m, "UnmapPhysicalMemory", &library->UnmapPhysicalMemory);
}

void FreeWinIoLibrary(WinIoLibrary* library) {
  if (library->module != nullptr) FreeLibrary(library->module);
  *library = WinIoLibrary{};
}
