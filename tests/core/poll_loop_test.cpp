// The poll loop with a real message queue and real windows, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "core/led_update.h"
#include "core/poll_loop_win.h"
#include "tests/fakes/meter_io_fakes.h"
#include "tests/support/test_window_win.h"

namespace {

constexpr char kClassName[] = "PipstackPollLoopTest";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    RequestQuit();
    return 0;
  }
  if (message == WM_USER) {
    SetConfigVisible(wParam != 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class PollLoopTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetMeterSettings();
    ResetLedUpdate();
    ResetMeterIoFakes();
    ResetRunState();
    SetMeterOptions(kInterpolationOff, 1);
    RegisterTestWindowClass(kClassName, TestWindowProc);
    window =
        CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    DrainQueue();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    DrainQueue();
  }
  // Window creation leaves messages of its own behind; the tests begin with
  // an empty queue so that they count only their own.
  static void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
  }
  HWND window = nullptr;
};

TEST_F(PollLoopTest, QuitMessageEndsTheLoopBeforeAnyUpdate) {
  PostQuitMessage(0);
  EXPECT_EQ(RunPollLoop(nullptr), 0);
  EXPECT_EQ(fakes.sampleAllCalls, 0);
  EXPECT_TRUE(fakes.writes.empty());
}

TEST_F(PollLoopTest, QuitAlreadyRequestedReturnsAtOnce) {
  RequestQuit();
  PostMessageA(window, WM_USER, 0, 0);
  EXPECT_EQ(RunPollLoop(nullptr), 0);
  EXPECT_EQ(fakes.sampleAllCalls, 0);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, window, WM_USER, WM_USER, PM_NOREMOVE)) << "the loop took a message";
}

TEST_F(PollLoopTest, DestroyedWindowEndsTheLoopAfterTheCurrentPass) {
  // Destroying the window requests the quit inside the dispatch; the pass
  // still runs its update cycle before the loop looks at the flag.
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunPollLoop(nullptr), 0);
  EXPECT_EQ(fakes.sampleAllCalls, 1);
  EXPECT_EQ(fakes.writes.size(), 1u);
}

TEST_F(PollLoopTest, UpdatesRunOncePerPassUntilOneFails) {
  fakes.allValues.fill(-1);
  fakes.failWriteAt = 5;
  EXPECT_EQ(RunPollLoop(nullptr), 2);
  EXPECT_EQ(fakes.writes.size(), 6u);  // five written, the sixth failed
  EXPECT_EQ(fakes.sampleAllCalls, 6);

  ResetMeterIoFakes();
  fakes.sampleAllStatus = 1;
  EXPECT_EQ(RunPollLoop(nullptr), 1);
  SetMeterOptions(3, 1);
  fakes.sampleOneStatus = 2;
  EXPECT_EQ(RunPollLoop(nullptr), 3);
}

TEST_F(PollLoopTest, AtMostOneMessageIsHandledPerPass) {
  // Three messages queued, then a failing second update: the loop must have
  // handled exactly two of them by then.
  PostMessageA(window, WM_NULL, 0, 0);
  PostMessageA(window, WM_NULL, 0, 0);
  PostMessageA(window, WM_NULL, 0, 0);
  fakes.failWriteAt = 1;
  EXPECT_EQ(RunPollLoop(nullptr), 2);
  int32_t left = 0;
  MSG msg;
  while (PeekMessageA(&msg, window, WM_NULL, WM_NULL, PM_REMOVE)) ++left;
  EXPECT_EQ(left, 1);
}

TEST_F(PollLoopTest, PausedLoopTakesNoSampleAndWritesNothing) {
  SetConfigVisible(true);
  for (int i = 0; i < 20; ++i) PostMessageA(window, WM_NULL, 0, 0);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunPollLoop(nullptr), 0);
  EXPECT_EQ(fakes.sampleAllCalls, 0);
  EXPECT_TRUE(fakes.writes.empty());
}

TEST_F(PollLoopTest, ResumesWhenTheDialogIsHidden) {
  SetConfigVisible(true);
  PostMessageA(window, WM_USER, 0, 0);  // hides: the dialog is no longer visible
  fakes.failWriteAt = 2;
  EXPECT_EQ(RunPollLoop(nullptr), 2);
  EXPECT_EQ(fakes.writes.size(), 3u);  // two written, the third failed
}

// The LED bytes written when each observed pass ended.
std::vector<int32_t> writesSeen;
void RecordPass() { writesSeen.push_back(static_cast<int32_t>(fakes.writes.size())); }

TEST_F(PollLoopTest, ObserverEndsEveryPassPausedOrNot) {
  SetPassObserver(RecordPass);
  PostMessageA(window, WM_USER, 1, 0);  // paused in the first pass
  PostMessageA(window, WM_USER, 0, 0);  // resumed in the second
  fakes.failWriteAt = 1;
  EXPECT_EQ(RunPollLoop(nullptr), 2);
  EXPECT_EQ(writesSeen, (std::vector<int32_t>{0, 1})) << "the failing pass returns before its observer";
}

struct WaitThenQuit {
  DWORD loopThread;
  HANDLE loopHandle;
  ULONGLONG cpuTime100ns;
};

DWORD WINAPI QuitAfterHalfASecond(void* arg) {
  auto* w = static_cast<WaitThenQuit*>(arg);
  Sleep(500);
  FILETIME created, exited, kernel, user;
  GetThreadTimes(w->loopHandle, &created, &exited, &kernel, &user);
  ULARGE_INTEGER k{}, u{};
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  w->cpuTime100ns = k.QuadPart + u.QuadPart;
  PostThreadMessageA(w->loopThread, WM_QUIT, 0, 0);
  return 0;
}

TEST_F(PollLoopTest, PausedLoopWaitsWithoutSpinning) {
  SetConfigVisible(true);
  WaitThenQuit w{GetCurrentThreadId(), nullptr, 0};
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &w.loopHandle, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  FILETIME created, exited, kernel, user;
  GetThreadTimes(w.loopHandle, &created, &exited, &kernel, &user);
  const ULONGLONG before = (ULONGLONG{kernel.dwHighDateTime} << 32 | kernel.dwLowDateTime) +
                           (ULONGLONG{user.dwHighDateTime} << 32 | user.dwLowDateTime);
  HANDLE helper = CreateThread(nullptr, 0, QuitAfterHalfASecond, &w, 0, nullptr);
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(RunPollLoop(nullptr), 0);
  WaitForSingleObject(helper, INFINITE);
  CloseHandle(helper);
  CloseHandle(w.loopHandle);
  // A spinning loop would burn most of the half second; a waiting one a
  // few milliseconds at most. (Thread times count in 100 ns.)
  EXPECT_LT(w.cpuTime100ns - before, 50u * 10000u);
  EXPECT_EQ(fakes.sampleAllCalls, 0);
}

}  // namespace
