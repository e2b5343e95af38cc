// Loading our ftd2xx.dll for the emulation's tests and their peer.
#include "tests/emulation/ftdi_library.h"

#include "core/scoped_win.h"

const char kVirtualFtdiFolder[] = PIPSTACK_VIRTUAL_FTDI_DIR;
const char kFtdiNoWriteFolder[] = PIPSTACK_FTDI_NO_WRITE_DIR;

bool LoadFtdiLibrary(const char* folder, FtdiLibrary* library) {
  *library = FtdiLibrary{};
  SetDllDirectoryA(folder);
  library->module = LoadLibraryA("ftd2xx.dll");
  SetDllDirectoryA(nullptr);
  if (library->module == nullptr) return false;
  const HMODULE m = library->module;
  // Every one is resolved, so that a caller sees which are missing.
  bool all = ResolveEntryPoint(m, "FT_CreateDeviceInfoList", &library->CreateDeviceInfoList);
  all = ResolveEntryPoint(m, "FT_GetDeviceInfoList", &library->GetDeviceInfoList) && all;
  all = ResolveEntryPoint(m, "FT_GetDeviceInfoDetail", &library->GetDeviceInfoDetail) && all;
  all = ResolveEntryPoint(m, "FT_Open", &library->Open) && all;
  all = ResolveEntryPoint(m, "FT_OpenEx", &library->OpenEx) && all;
  all = ResolveEntryPoint(m, "FT_SetBitMode", &library->SetBitMode) && all;
  all = ResolveEntryPoint(m, "FT_GetBitMode", &library->GetBitMode) && all;
  all = ResolveEntryPoint(m, "FT_Write", &library->Write) && all;
  return ResolveEntryPoint(m, "FT_Close", &library->Close) && all;
}

void FreeFtdiLibrary(FtdiLibrary* library) {
  if (library->module != nullptr) FreeLibrary(library->module);
  *library = FtdiLibrary{};
}
