// A second process on the emulated FTDI devices, through our ftd2xx.dll:
//   ftdi_peer hold SERIAL         opens the device and keeps it open until
//                                 it is ended
//   ftdi_peer write SERIAL BYTE   opens it, sets asynchronous bit-bang on all
//                                 pins, writes BYTE (C notation) and closes it
// The exit code is the first FT_STATUS that was not FT_OK, 0 when all were,
// and 256 when the library did not load.
#include <cstdlib>
#include <cstring>

#include "tests/emulation/ftdi_library.h"

int main(int argc, char** argv) {
  constexpr int kNoLibrary = 256;
  FtdiLibrary ftdi{};
  if (argc < 3 || !LoadFtdiLibrary(kVirtualFtdiFolder, &ftdi)) return kNoLibrary;
  FT_HANDLE handle = nullptr;
  FT_STATUS status = ftdi.OpenEx(argv[2], kFtOpenBySerialNumber, &handle);
  if (status == kFtOk && std::strcmp(argv[1], "hold") == 0) Sleep(INFINITE);
  if (status == kFtOk && std::strcmp(argv[1], "write") == 0 && argc > 3) {
    UCHAR byte = static_cast<UCHAR>(std::strtoul(argv[3], nullptr, 0));
    DWORD written = 0;
    status = ftdi.SetBitMode(handle, 0xFF, kFtBitModeAsyncBitBang);
    if (status == kFtOk) status = ftdi.Write(handle, &byte, 1, &written);
    const FT_STATUS closed = ftdi.Close(handle);
    if (status == kFtOk) status = closed;
  }
  FreeFtdiLibrary(&ftdi);
  return static_cast<int>(status);
}
