// The entry points of FTDI's D2XX library ftd2xx.dll that Pipstack uses, with
// the prototypes of FTDI's D2XX Programmer's Guide: the program's binding
// takes its slot types from here, and our emulated library defines its
// exports against the same declarations. Every call is FT_STATUS WINAPI (__stdcall, which
// matters for a 32-bit build); the numbers are in d2xx_constants.h.
#pragma once

#include <windows.h>

#include "port/d2xx_constants.h"

// The guide's types: FT_STATUS a ULONG (0 = FT_OK), FT_HANDLE a pointer.
using FT_STATUS = ULONG;
using FT_HANDLE = PVOID;

// One device of the list, FT_DEVICE_LIST_INFO_NODE (guide, Appendix A).
struct FT_DEVICE_LIST_INFO_NODE {
  ULONG Flags;
  ULONG Type;
  ULONG ID;
  DWORD LocId;
  char SerialNumber[kFtSerialNumberSize];
  char Description[kFtDescriptionSize];
  FT_HANDLE ftHandle;
};

extern "C" {
FT_STATUS WINAPI FT_CreateDeviceInfoList(LPDWORD lpdwNumDevs);
FT_STATUS WINAPI FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* pDest, LPDWORD lpdwNumDevs);
FT_STATUS WINAPI FT_GetDeviceInfoDetail(DWORD dwIndex, LPDWORD lpdwFlags, LPDWORD lpdwType, LPDWORD lpdwID,
                                        LPDWORD lpdwLocId, LPVOID lpSerialNumber, LPVOID lpDescription,
                                        FT_HANDLE* pftHandle);
FT_STATUS WINAPI FT_Open(int deviceNumber, FT_HANDLE* pHandle);
FT_STATUS WINAPI FT_OpenEx(PVOID pArg1, DWORD Flags, FT_HANDLE* pHandle);
FT_STATUS WINAPI FT_SetBitMode(FT_HANDLE ftHandle, UCHAR ucMask, UCHAR ucEnable);
// The guide: "Gets the instantaneous value of the data bus", not the mode.
FT_STATUS WINAPI FT_GetBitMode(FT_HANDLE ftHandle, PUCHAR pucMode);
FT_STATUS WINAPI FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite, LPDWORD lpdwBytesWritten);
FT_STATUS WINAPI FT_Close(FT_HANDLE ftHandle);
}
