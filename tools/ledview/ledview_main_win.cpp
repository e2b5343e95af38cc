// ledview: the virtual parallel port's eight LEDs, live in a console.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "tools/ledview/console_screen.h"
#include "tools/ledview/port_watch.h"
#include "tools/ledview/viewer_options.h"

namespace {

// Well under the meter's 40 ms write delay, so that no LED pattern it shows
// is missed; Windows' timer may stretch a sleep to about 16 ms.
constexpr DWORD kRefreshMs = 10;

// The size a frame is laid out for when the output is no console.
constexpr ConsoleSize kPlainSize{80, 100};

std::atomic<bool> stopRequested{false};
HANDLE finished = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
  stopRequested = true;
  // On a closing console the process ends once this returns: give the loop
  // the time to hand the console back first.
  if (event == CTRL_CLOSE_EVENT && finished != nullptr) WaitForSingleObject(finished, 2000);
  return TRUE;
}

int PrintOnce() {
  ConsoleSize size = kPlainSize;
  ConsoleWindowSize(&size);
  return WriteFrameOnce(RenderFrame(WatchPort(false), size.columns - 1, size.rows)) ? 0 : 1;
}

int RunLive() {
  if (!StartConsoleScreen()) {
    std::fputs("ledview: the live view needs a console; --once prints one frame anywhere\n", stderr);
    return 1;
  }
  finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  while (!stopRequested) {
    ConsoleSize size = kPlainSize;
    ConsoleWindowSize(&size);
    // One column spare: a character in the last column would wrap the line.
    PaintFrame(RenderFrame(WatchPort(true), size.columns - 1, size.rows), size);
    Sleep(kRefreshMs);
  }
  StopConsoleScreen();
  if (finished != nullptr) SetEvent(finished);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ViewerOptions options{};
  if (ParseViewerOptions(argc, argv, &options) != kOptionsOk) {
    std::fputs("ledview: unknown option or port\n", stderr);
    std::fputs(kViewerUsage, stderr);
    return 2;
  }
  if (options.help) {
    std::fputs(kViewerUsage, stdout);
    return 0;
  }
  const int32_t status = StartPortWatch(options.portIndex);
  if (status != 0) {
    std::fprintf(stderr, "ledview: the virtual port cannot be opened (code %d)\n", static_cast<int>(status));
    return 1;
  }
  const int result = options.once ? PrintOnce() : RunLive();
  StopPortWatch();
  return result;
}
