// What the FTDI output uses of FTDI's D2XX library, ftd2xx.dll, bound at run
// time like the port-I/O libraries. Defined for Windows in
// ftdi_library_win.cpp; test programs link their own in its place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// FTDI's installer names the library ftd2xx.dll in both bitnesses; its zip
// distribution names the 64-bit one ftd2xx64.dll, which the 64-bit program
// tries second.
constexpr char kFtdiLibraryName[] = "ftd2xx.dll";
constexpr char kFtdiLibrary64Name[] = "ftd2xx64.dll";

enum FtdiLibraryStatus : int32_t {
  kFtdiLibraryOk = 0,
  kFtdiLibraryMissing = 1,     // no library could be loaded
  kFtdiLibraryIncomplete = 2,  // it lacks an entry point the output calls
};

// Loads and binds the library, releasing an earlier binding first; on
// kFtdiLibraryIncomplete, *missing names the first entry point not found.
int32_t LoadFtdiLibrary(std::string* missing);
// Harmless when nothing is bound.
void UnloadFtdiLibrary();

// The library's device types the program names; others are shown by
// number.
enum FtdiDeviceType : uint32_t {
  kFtdiTypeBm = 0,
  kFtdiTypeAm = 1,
  kFtdiType100Ax = 2,
  kFtdiType2232C = 4,
  kFtdiType232R = 5,  // FT232R and FT245R
  kFtdiType2232H = 6,
  kFtdiType4232H = 7,
  kFtdiType232H = 8,
  kFtdiTypeX = 9,  // the FT-X series
};

// The library names no device that is open elsewhere: its serial number
// and description are empty then.
struct FtdiDevice {
  bool openElsewhere;  // another program holds it
  uint32_t type;
  std::string serial;
  std::string description;
};

// The devices attached now, in the library's order; false when it cannot
// list them.
bool ListFtdiDevices(std::vector<FtdiDevice>* devices);

// An open device; closed while handle is null.
struct FtdiHandle {
  void* handle = nullptr;
};
// Opens the device with that serial number.
bool OpenFtdiDevice(const std::string& serial, FtdiHandle* device);
// Makes D0..D7 outputs in asynchronous bit-bang mode, where each byte
// written stays on them.
bool SetFtdiBitBang(const FtdiHandle& device);
// One write of one byte; false when it failed or wrote nothing (the device
// went away).
bool WriteFtdiByte(const FtdiHandle& device, uint8_t byte);
// Leaves the device in bit-bang mode, so the pins keep the last byte.
// Harmless on a closed handle.
void CloseFtdiDevice(FtdiHandle* device);
