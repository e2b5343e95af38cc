// The meter's pause after an LED byte with a real message queue, under Wine:
// what arrives during a long write delay is handled at once, and the pause
// goes on for what is left unless the program is to end.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/led_update.h"
#include "core/poll_loop_win.h"
#include "tests/fakes/meter_io_fakes.h"
#include "tests/support/test_window_win.h"

namespace {

constexpr char kClassName[] = "PipstackMeterWaitTest";
constexpr int32_t kDelayMs = 1000;
constexpr DWORD kActAtMs = 100;
// "At once", with room for a loaded machine.
constexpr double kPromptMs = 300;
constexpr UINT kShowMessage = WM_USER;
constexpr UINT kProbeMessage = WM_APP;

LARGE_INTEGER frequency;
LARGE_INTEGER began;
double handledAtMs = -1;  // when the window last handled a probe or show request

double SinceBegan() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - began.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      RequestQuit();
      return 0;
    case kShowMessage:
      SetConfigVisible(true);
      handledAtMs = SinceBegan();
      return 0;
    case kProbeMessage:
      handledAtMs = SinceBegan();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

enum class Action { kNothing, kPost, kSend, kQuitMessage, kClose, kShowThenClose };

struct Helper {
  Action action;
  HWND window;
  DWORD loopThread;
};

// What arrives while the meter waits, kActAtMs into the first pause.
DWORD WINAPI Act(void* arg) {
  const Helper* h = static_cast<Helper*>(arg);
  Sleep(kActAtMs);
  switch (h->action) {
    case Action::kNothing:
      break;
    case Action::kPost:
      PostMessageA(h->window, kProbeMessage, 0, 0);
      break;
    case Action::kSend:  // as a second start asks
      SendMessageTimeoutA(h->window, kProbeMessage, 0, 0, SMTO_NORMAL, 5000, nullptr);
      break;
    case Action::kQuitMessage:
      PostThreadMessageA(h->loopThread, WM_QUIT, 0, 0);
      break;
    case Action::kClose:
      PostMessageA(h->window, WM_CLOSE, 0, 0);
      break;
    case Action::kShowThenClose:
      SendMessageTimeoutA(h->window, kShowMessage, 0, 0, SMTO_NORMAL, 5000, nullptr);
      Sleep(kDelayMs + 500);  // the paused loop waits for this
      PostMessageA(h->window, WM_CLOSE, 0, 0);
      break;
  }
  return 0;
}

TEST(MeterWaitTest, MessagesDuringALongPauseAreHandledAtOnce) {
  const struct {
    const char* what;
    Action action;
    int32_t status;  // of the loop: 2 when it ran into the second write, which fails
    size_t writes;
    bool handled;       // a probe or show request reached the window at once
    bool pauseRunsOut;  // the first pause lasted the whole write delay
  } rows[] = {
      {"nothing arrives", Action::kNothing, 2, 2, false, true},
      {"a posted message", Action::kPost, 2, 2, true, true},
      {"a sent message", Action::kSend, 2, 2, true, true},
      {"the quit message", Action::kQuitMessage, 0, 1, false, false},
      {"the window is closed", Action::kClose, 0, 1, false, false},
      {"the dialog is shown, later closed", Action::kShowThenClose, 0, 1, true, true},
  };
  QueryPerformanceFrequency(&frequency);
  RegisterTestWindowClass(kClassName, TestWindowProc);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ResetMeterSettings();
    ResetLedUpdate();
    ResetMeterIoFakes();
    ResetRunState();
    ASSERT_EQ(SetMeterOptions(kInterpolationOff, kDelayMs), 0);
    fakes.failWriteAt = 1;
    HWND window =
        CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);

    handledAtMs = -1;
    Helper helper{row.action, window, GetCurrentThreadId()};
    QueryPerformanceCounter(&began);
    HANDLE thread = CreateThread(nullptr, 0, Act, &helper, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(RunPollLoop(nullptr), row.status);
    const double loopMs = SinceBegan();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    EXPECT_EQ(fakes.writes.size(), row.writes);
    if (row.handled) {
      EXPECT_GE(handledAtMs, kActAtMs - 20.0);
      EXPECT_LT(handledAtMs, kActAtMs + kPromptMs) << "handled only after the pause";
    }
    if (row.pauseRunsOut) {
      EXPECT_GE(loopMs, kDelayMs - 1.0) << "the pause ended early";
    } else {
      EXPECT_LT(loopMs, kActAtMs + kPromptMs) << "the loop did not end at once";
    }
    if (IsWindow(window)) DestroyWindow(window);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
}

}  // namespace
