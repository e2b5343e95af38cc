// ledview: eight LEDs live in a console, of the virtual parallel port, an
// emulated FTDI device or the simulated LED controller on a COM port.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "tools/ledview/board_watch.h"
#include "tools/ledview/console_screen.h"
#include "tools/ledview/ftdi_watch.h"
#include "tools/ledview/port_watch.h"
#include "tools/ledview/viewer_options.h"

namespace {

// Well under the meter's 40 ms write delay, so that no LED pattern it shows
// is missed; Windows' timer may stretch a sleep to about 16 ms.
constexpr DWORD kRefreshMs = 10;

// The size a frame is laid out for when the output is no console.
constexpr ConsoleSize kPlainSize{80, 100};

ViewerOptions options{};
std::atomic<bool> stopRequested{false};
HANDLE finished = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
  stopRequested = true;
  // On a closing console the process ends once this returns: give the loop
  // the time to hand the console back first.
  if (event == CTRL_CLOSE_EVENT && finished != nullptr) WaitForSingleObject(finished, 2000);
  return TRUE;
}

// The status of the watch's opening; 0 when it needs none.
int32_t StartWatch() {
  switch (options.output) {
    case kViewFtdi:
      return StartFtdiWatch(options.ftdiSlot);
    case kViewBoard:
      StartBoardWatch(options.comNumber);
      return 0;
    case kViewParallel:
      break;
  }
  return StartPortWatch(options.portIndex);
}

void StopWatch() {
  switch (options.output) {
    case kViewFtdi:
      StopFtdiWatch();
      return;
    case kViewBoard:
      return;
    case kViewParallel:
      break;
  }
  StopPortWatch();
}

LedFrame WatchFrame(bool live) {
  LedFrame frame{};
  switch (options.output) {
    case kViewFtdi:
      frame = FtdiFrame(WatchFtdi());
      break;
    case kViewBoard:
      frame = BoardFrame(WatchBoard());
      break;
    case kViewParallel:
      frame = ParallelFrame(WatchPort());
      break;
  }
  frame.live = live;
  return frame;
}

int PrintOnce() {
  ConsoleSize size = kPlainSize;
  ConsoleWindowSize(&size);
  return WriteFrameOnce(RenderFrame(WatchFrame(false), size.columns - 1, size.rows)) ? 0 : 1;
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
    PaintFrame(RenderFrame(WatchFrame(true), size.columns - 1, size.rows), size);
    Sleep(kRefreshMs);
  }
  StopConsoleScreen();
  if (finished != nullptr) SetEvent(finished);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (ParseViewerOptions(argc, argv, &options) != kOptionsOk) {
    std::fputs("ledview: unknown option or port\n", stderr);
    std::fputs(kViewerUsage, stderr);
    return 2;
  }
  if (options.help) {
    std::fputs(kViewerUsage, stdout);
    return 0;
  }
  const int32_t status = StartWatch();
  if (status != 0) {
    const char* what = options.output == kViewFtdi ? "the virtual FTDI devices" : "the virtual port";
    std::fprintf(stderr, "ledview: %s cannot be opened (code %d)\n", what, static_cast<int>(status));
    return 1;
  }
  const int result = options.once ? PrintOnce() : RunLive();
  StopWatch();
  return result;
}
