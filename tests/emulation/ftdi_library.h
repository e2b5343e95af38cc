// Our ftd2xx.dll loaded for real from a build folder, its entry points
// resolved with the types of their declared prototypes.
#pragma once

#include "port/d2xx_api_win.h"

struct FtdiLibrary {
  HMODULE module;
  decltype(&FT_CreateDeviceInfoList) CreateDeviceInfoList;
  decltype(&FT_GetDeviceInfoList) GetDeviceInfoList;
  decltype(&FT_GetDeviceInfoDetail) GetDeviceInfoDetail;
  decltype(&FT_Open) Open;
  decltype(&FT_OpenEx) OpenEx;
  decltype(&FT_SetBitMode) SetBitMode;
  decltype(&FT_GetBitMode) GetBitMode;
  decltype(&FT_Write) Write;
  decltype(&FT_Close) Close;
};

// The emulation's ftd2xx.dll, and its variant without FT_Write.
extern const char kVirtualFtdiFolder[];
extern const char kFtdiNoWriteFolder[];

// Loads ftd2xx.dll from folder. False when it does not load or lacks an
// entry point; the module stays loaded in the second case, the missing
// entry points null.
bool LoadFtdiLibrary(const char* folder, FtdiLibrary* library);
void FreeFtdiLibrary(FtdiLibrary* library);
