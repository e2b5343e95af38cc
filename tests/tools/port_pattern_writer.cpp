// Writes a bar that rises and falls on LPT1 every 40 ms through the virtual
// port's WinIO library, for a number of seconds (the first argument, 10 by default).
#include <cstdlib>

#include "tests/emulation/winio_library.h"

int main(int argc, char** argv) {
  WinIoLibrary winio{};
  if (!LoadWinIoLibrary(&winio) || !winio.InitializeWinIo()) return 1;
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  constexpr DWORD kWriteDelayMs = 40;
  const int writes = seconds * 1000 / static_cast<int>(kWriteDelayMs);
  for (int i = 0; i < writes; ++i) {
    const int step = i % 16;                          // 0..15
    const int height = step <= 8 ? step : 16 - step;  // 0..8..1
    winio.SetPortVal(0x378, (1u << height) - 1, 1);
    Sleep(kWriteDelayMs);
  }
  winio.ShutdownWinIo();
  FreeWinIoLibrary(&winio);
  return 0;
}
