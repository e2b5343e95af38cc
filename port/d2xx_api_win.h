// The entry points of FTDI's D2XX library (ftd2xx.dll) that the FTDI output
// calls, with the prototypes FTDI publishes: the program's binding takes its
// slot types from here. Every call is WINAPI (__stdcall on 32-bit), its
// result an FT_STATUS, 0 for success.
#pragma once

#include <windows.h>

// In a namespace of their own: nothing here is defined in the program, only
// the types are used.
namespace d2xx {
using FT_HANDLE = PVOID;
using FT_STATUS = ULONG;
constexpr FT_STATUS FT_OK = 0;
constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_FLAGS_OPENED = 1;  // in the device list's flags: another program has it open
constexpr UCHAR FT_BITMODE_ASYNC_BITBANG = 0x01;
// The list's strings, terminating zero included.
constexpr DWORD kSerialNumberSize = 16;
constexpr DWORD kDescriptionSize = 64;

FT_STATUS WINAPI FT_CreateDeviceInfoList(LPDWORD numberOfDevices);
FT_STATUS WINAPI FT_GetDeviceInfoDetail(DWORD index, LPDWORD flags, LPDWORD type, LPDWORD id, LPDWORD locationId,
                                        LPVOID serialNumber, LPVOID description, FT_HANDLE* handle);
FT_STATUS WINAPI FT_OpenEx(PVOID argument, DWORD flags, FT_HANDLE* handle);
FT_STATUS WINAPI FT_SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode);
FT_STATUS WINAPI FT_Write(FT_HANDLE handle, LPVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten);
FT_STATUS WINAPI FT_Close(FT_HANDLE handle);
}  // namespace d2xx
