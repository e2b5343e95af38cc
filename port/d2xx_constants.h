// The numbers of FTDI's D2XX interface that our ftd2xx.dll answers with and
// its callers compare against: status codes, flags, device types, bit modes.
// Platform-free. Every value is as FTDI's D2XX Programmer's Guide and its
// ftd2xx.h define it; where each comes from is noted beside it.
#pragma once

#include <cstddef>
#include <cstdint>

// FT_STATUS, a ULONG: the guide's Appendix A lists the codes in this order,
// from FT_OK = 0 on (FT_NOT_SUPPORTED = 17, FT_OTHER_ERROR = 18 there).
enum FtStatusCode : uint32_t {
  kFtOk = 0,                // FT_OK
  kFtInvalidHandle = 1,     // FT_INVALID_HANDLE: not a handle this process has open
  kFtDeviceNotFound = 2,    // FT_DEVICE_NOT_FOUND: no such device (index, serial, description)
  kFtDeviceNotOpened = 3,   // FT_DEVICE_NOT_OPENED: the device is there but cannot be opened (in use)
  kFtIoError = 4,           // FT_IO_ERROR: the device went away under an open handle
  kFtInvalidParameter = 6,  // FT_INVALID_PARAMETER (5 is FT_INSUFFICIENT_RESOURCES)
  kFtOtherError = 18,       // FT_OTHER_ERROR
};

// FT_OpenEx's dwFlags: what pvArg1 points at (guide, FT_OpenEx).
constexpr uint32_t kFtOpenBySerialNumber = 1;  // FT_OPEN_BY_SERIAL_NUMBER: a serial number string
constexpr uint32_t kFtOpenByDescription = 2;   // FT_OPEN_BY_DESCRIPTION: a description string
constexpr uint32_t kFtOpenByLocation = 4;      // FT_OPEN_BY_LOCATION: the location id itself

// The device list's Flags (guide, FT_GetDeviceInfoDetail): bit 0 says the
// device is open; bit 1 (high-speed USB) stays clear for a full-speed FT232R.
constexpr uint32_t kFtFlagsOpened = 1;  // FT_FLAGS_OPENED

// FT_DEVICE, the list's Type (guide, Appendix A: FT_DEVICE_BM = 0, AM,
// 100AX, UNKNOWN, 2232C, 232R, 2232H, 4232H, 232H).
constexpr uint32_t kFtDevice232R = 5;  // FT_DEVICE_232R: FT232R and FT245R

// The list's ID: the USB vendor id in the high word, the product id in the
// low one. FTDI's vendor id is 0x0403; an FT232R enumerates as 0x6001.
constexpr uint32_t kFtId232R = 0x0403u << 16 | 0x6001u;

// FT_SetBitMode's ucEnable (guide, FT_SetBitMode).
constexpr uint8_t kFtBitModeReset = 0x00;         // back to the UART (or FIFO)
constexpr uint8_t kFtBitModeAsyncBitBang = 0x01;  // a written byte stays on the pins
constexpr uint8_t kFtBitModeSyncBitBang = 0x04;   // FT232R, FT245R and the H series

// The guide's sizes of the list's strings, terminating zero included.
constexpr size_t kFtSerialNumberSize = 16;
constexpr size_t kFtDescriptionSize = 64;

// FT232R pins D0..D7 (datasheet): TXD, RXD, RTS#, CTS#, DTR#, DSR#, DCD#,
// RI#. At rest the UART drives its outputs high: TXD idles at the stop
// bit's level and RTS#, DTR# are high while not asserted. The inputs are
// driven by nothing, so an LED on one stays dark.
constexpr uint8_t kFt232rTxd = 0x01;
constexpr uint8_t kFt232rRts = 0x04;
constexpr uint8_t kFt232rDtr = 0x10;
constexpr uint8_t kFt232rUartIdlePins = kFt232rTxd | kFt232rRts | kFt232rDtr;
static_assert(kFt232rUartIdlePins == 0x15, "LEDs on D0, D2 and D4 light at rest");
