// A second start a moment after the first: the first has its mutex but no
// window yet, and the second waits for the window instead of giving up.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/program_fixture.h"
#include "tests/support/test_window_win.h"

namespace {

constexpr char kMutexName[] = "!!!Pipstack!!!";
// How long a second start waits for the running meter's window, and what
// the tests allow for a Wine process's start and end on top of it.
constexpr DWORD kWindowWaitMs = 5000;
constexpr DWORD kSlackMs = 3000;

// Show requests that reached the stand-in poll window of this process.
int requests = 0;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    ++requests;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Handles this thread's messages (the second start's request is sent to a
// window of it) until the program ends or the time is up; true when it ended.
bool PumpUntilExit(const Program& run, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    HANDLE process = run.Handle();
    const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, milliseconds - spent, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

TEST_F(ProgramTest, SecondStartWaitsForTheRunningMetersWindow) {
  // This process plays a first instance that holds the mutex and makes its
  // poll window late, or never.
  ASSERT_NE(RegisterTestWindowClass("Pipstack", StandInProc), 0);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
  ASSERT_NE(mutex, nullptr);

  const struct {
    const char* what;
    DWORD windowAfterMs;  // INFINITE: no window ever
    int requests;
  } rows[] = {
      {"window after a second", 1000, 1},
      {"no window at all", INFINITE, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    requests = 0;
    const DWORD start = GetTickCount();
    Start();
    HWND window = nullptr;
    if (row.windowAfterMs != INFINITE) {
      EXPECT_FALSE(PumpUntilExit(program, row.windowAfterMs)) << "gave up before the window came";
      window = CreateWindowExA(0, "Pipstack", "Pipstack Poll Window", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
      ASSERT_NE(window, nullptr);
    }
    ASSERT_TRUE(PumpUntilExit(program, kWindowWaitMs + kSlackMs)) << "the second start did not end";
    const DWORD spent = GetTickCount() - start;
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(0, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(requests, row.requests);
    if (row.windowAfterMs == INFINITE) {
      EXPECT_GE(spent, kWindowWaitMs - 500) << "gave up too soon";
    }
    EXPECT_TRUE(Journal().empty()) << "a second start touched the port";
    if (window != nullptr) DestroyWindow(window);
  }
  CloseHandle(mutex);
  UnregisterClassA("Pipstack", GetModuleHandleA(nullptr));
}

}  // namespace
