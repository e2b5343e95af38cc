// A second process on the virtual port, for the tests of shared state:
//   virtual_port_peer write PORT VALUE   exit code 0 when written
//   virtual_port_peer read PORT          exit code the byte read, or 256
//   virtual_port_peer burst PORT COUNT   writes 0..COUNT-1; exit code 0 when all went
// Numbers in C notation (0x378).
#include <cstdlib>
#include <cstring>

#include "tests/emulation/winio_library.h"

int main(int argc, char** argv) {
  constexpr int kFailed = 256;
  if (argc < 3) return kFailed;
  WinIoLibrary winio;
  if (!LoadWinIoLibrary(&winio) || !winio.InitializeWinIo()) return kFailed;
  const WORD port = static_cast<WORD>(std::strtoul(argv[2], nullptr, 0));
  int result = kFailed;
  if (std::strcmp(argv[1], "write") == 0 && argc > 3) {
    result = winio.SetPortVal(port, std::strtoul(argv[3], nullptr, 0), 1) ? 0 : kFailed;
  } else if (std::strcmp(argv[1], "burst") == 0 && argc > 3) {
    const unsigned long count = std::strtoul(argv[3], nullptr, 0);
    result = 0;
    for (unsigned long i = 0; i < count; ++i) {
      if (!winio.SetPortVal(port, i, 1)) result = kFailed;
    }
  } else if (std::strcmp(argv[1], "read") == 0) {
    DWORD value = 0;
    if (winio.GetPortVal(port, &value, 1)) result = static_cast<int>(value);
  }
  winio.ShutdownWinIo();
  FreeWinIoLibrary(&winio);
  return result;
}
