// FTDI's D2XX library bound at run time, by its bare name through the
// library search the program restricts to its own folder and the system's;
// every entry point resolved by name into a table of its real prototype.
#include <windows.h>

#include <cstring>

#include "core/scoped_win.h"
#include "port/d2xx_api_win.h"
#include "port/ftdi_library.h"

namespace {

// Only what the output calls; a library without one of them is not used.
struct D2xxTable {
  decltype(&::FT_CreateDeviceInfoList) FT_CreateDeviceInfoList;
  decltype(&::FT_GetDeviceInfoDetail) FT_GetDeviceInfoDetail;
  decltype(&::FT_OpenEx) FT_OpenEx;
  decltype(&::FT_SetBitMode) FT_SetBitMode;
  decltype(&::FT_Write) FT_Write;
  decltype(&::FT_Close) FT_Close;
};

ScopedLibrary library;
D2xxTable table{};

// The names the library is tried by, in order: the 32-bit program has one.
constexpr const char* kNames[] = {kFtdiLibraryName, sizeof(void*) == 8 ? kFtdiLibrary64Name : nullptr};

bool LoadByName() {
  for (const char* name : kNames) {
    if (name == nullptr) break;
    library.Reset(LoadLibraryA(name));
    if (library.IsValid()) return true;
  }
  return false;
}

// The first entry point that is missing, in binding order; null when all
// resolved.
const char* ResolveTable(HMODULE module) {
  if (!ResolveEntryPoint(module, "FT_CreateDeviceInfoList", &table.FT_CreateDeviceInfoList))
    return "FT_CreateDeviceInfoList";
  if (!ResolveEntryPoint(module, "FT_GetDeviceInfoDetail", &table.FT_GetDeviceInfoDetail))
    return "FT_GetDeviceInfoDetail";
  if (!ResolveEntryPoint(module, "FT_OpenEx", &table.FT_OpenEx)) return "FT_OpenEx";
  if (!ResolveEntryPoint(module, "FT_SetBitMode", &table.FT_SetBitMode)) return "FT_SetBitMode";
  if (!ResolveEntryPoint(module, "FT_Write", &table.FT_Write)) return "FT_Write";
  if (!ResolveEntryPoint(module, "FT_Close", &table.FT_Close)) return "FT_Close";
  return nullptr;
}

bool Bound() { return table.FT_Close != nullptr; }

FT_HANDLE HandleOf(const FtdiHandle& device) { return device.handle; }

}  // namespace

int32_t LoadFtdiLibrary(std::string* missing) {
  UnloadFtdiLibrary();
  if (!LoadByName()) return kFtdiLibraryMissing;
  if (const char* name = ResolveTable(library.Get())) {
    if (missing != nullptr) *missing = name;
    UnloadFtdiLibrary();
    return kFtdiLibraryIncomplete;
  }
  return kFtdiLibraryOk;
}

void UnloadFtdiLibrary() {
  table = D2xxTable{};
  library.Close();
}

bool ListFtdiDevices(std::vector<FtdiDevice>* devices) {
  devices->clear();
  DWORD count = 0;
  if (!Bound() || table.FT_CreateDeviceInfoList(&count) != kFtOk) return false;
  for (DWORD index = 0; index < count; ++index) {
    DWORD flags = 0, type = 0, id = 0, location = 0;
    char serial[kFtSerialNumberSize] = {};
    char description[kFtDescriptionSize] = {};
    FT_HANDLE handle = nullptr;
    if (table.FT_GetDeviceInfoDetail(index, &flags, &type, &id, &location, serial, description, &handle) != kFtOk) {
      continue;
    }
    // The library fills whole fields; the last byte stays a terminator.
    serial[sizeof serial - 1] = '\0';
    description[sizeof description - 1] = '\0';
    devices->push_back(FtdiDevice{(flags & kFtFlagsOpened) != 0, type, serial, description});
  }
  return true;
}

bool OpenFtdiDevice(const std::string& serial, FtdiHandle* device) {
  CloseFtdiDevice(device);
  if (!Bound()) return false;
  char argument[kFtSerialNumberSize] = {};
  std::strncpy(argument, serial.c_str(), sizeof argument - 1);
  FT_HANDLE handle = nullptr;
  if (table.FT_OpenEx(argument, kFtOpenBySerialNumber, &handle) != kFtOk) return false;
  device->handle = handle;
  return handle != nullptr;
}

bool SetFtdiBitBang(const FtdiHandle& device) {
  constexpr UCHAR kEveryLineOut = 0xFF;
  return Bound() && device.handle != nullptr &&
         table.FT_SetBitMode(HandleOf(device), kEveryLineOut, kFtBitModeAsyncBitBang) == kFtOk;
}

bool WriteFtdiByte(const FtdiHandle& device, uint8_t byte) {
  if (!Bound() || device.handle == nullptr) return false;
  UCHAR buffer = byte;
  DWORD written = 0;
  return table.FT_Write(HandleOf(device), &buffer, 1, &written) == kFtOk && written == 1;
}

void CloseFtdiDevice(FtdiHandle* device) {
  if (device->handle != nullptr && Bound()) table.FT_Close(HandleOf(*device));
  device->handle = nullptr;
}
