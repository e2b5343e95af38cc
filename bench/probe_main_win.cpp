// bench_probe.exe: the benchmark's hands and eyes inside Wine. It keeps the
// virtual port alive, sets the meter's options, shows and closes the
// configuration dialog, quits the meter, and times frames and latencies.
//
//   bench_probe.exe hold                      keeps the machine until ended
//   bench_probe.exe settings DELAY_MS LED     "Write Delay" and "Interpolation"
//   bench_probe.exe show FOLDER               second start; waits for the dialog
//   bench_probe.exe quit                      closes the poll window
//   bench_probe.exe frames SECONDS            LED byte intervals of the meter
//   bench_probe.exe first-byte FOLDER N       start until first LED byte
//   bench_probe.exe dialog FOLDER N PERIOD_MS second start until dialog shown
//   bench_probe.exe empty N                   start until end of an empty program
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/probe_timing.h"
#include "bench/program_control_win.h"
#include "core/scoped_win.h"
#include "emulation/winio/virtual_port_view_win.h"
#include "settings/registry_values.h"

namespace {

int Hold() {
  VirtualPortView view{};
  if (OpenVirtualPort(kVirtualPortCreate, &view) != kVirtualPortOk) return 1;
  ResetVirtualPort(view);
  std::printf("holding\n");
  std::fflush(stdout);
  for (;;) Sleep(INFINITE);
}

int WriteOptions(int writeDelay, int interpolationLed) {
  ScopedKey key;
  // The program's settings are in the 64-bit registry view in both builds.
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKeyPath, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                      key.Out(), nullptr) != ERROR_SUCCESS)
    return 1;
  // -1 (interpolation off) is stored as its 32-bit pattern, as the program does.
  const DWORD delay = static_cast<DWORD>(writeDelay);
  const DWORD led = static_cast<DWORD>(interpolationLed);
  const bool written = RegSetValueExA(key.Get(), "Write Delay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&delay),
                                      sizeof delay) == ERROR_SUCCESS &&
                       RegSetValueExA(key.Get(), "Interpolation", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&led),
                                      sizeof led) == ERROR_SUCCESS;
  return written ? 0 : 1;
}

// A second start, as the user makes it, and the dialog seen.
int Show(const std::string& folder) {
  StartedProcess second;
  if (!second.Start(folder + "\\pipstack.exe", "", folder)) return 1;
  const bool shown = WaitForVisibleConfigDialog(30000) != nullptr;
  second.WaitForExit(15000);
  return shown ? 0 : 1;
}

bool Is(const char* command, const char* name, int argc, int wanted) {
  return std::strcmp(command, name) == 0 && argc == wanted;
}

}  // namespace

int main(int argc, char** argv) {
  const char* command = argc > 1 ? argv[1] : "";
  if (Is(command, "hold", argc, 2)) return Hold();
  if (Is(command, "settings", argc, 4)) return WriteOptions(std::atoi(argv[2]), std::atoi(argv[3]));
  if (Is(command, "show", argc, 3)) return Show(argv[2]);
  if (Is(command, "quit", argc, 2)) return AskMeterToQuit(5000) ? 0 : 1;
  if (Is(command, "frames", argc, 3)) return MeasureFrames(std::atoi(argv[2]));
  if (Is(command, "first-byte", argc, 4)) return MeasureFirstByte(argv[2], std::atoi(argv[3]));
  if (Is(command, "dialog", argc, 5)) return MeasureDialog(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (Is(command, "empty", argc, 3)) return MeasureEmptyStart(std::atoi(argv[2]));
  std::fprintf(stderr, "usage: see the top of bench/probe_main_win.cpp\n");
  return 2;
}
