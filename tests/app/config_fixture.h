// The poll window and its configuration dialog, created for real for each
// test, with the port replaced by recording stand-ins.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/background_window_win.h"
#include "app/config_dialog_win.h"
#include "app/live_values_win.h"
#include "core/meter_settings.h"
#include "core/poll_loop_win.h"
#include "tests/app/modal_script.h"
#include "tests/fakes/app_fakes.h"
#include "tests/fakes/meter_io_fakes.h"
#include "tests/fakes/source_fakes.h"

// A window procedure put in front of a window's own for a scope.
class Subclass {
 public:
  Subclass(HWND window, WNDPROC procedure) : window_(window) {
    previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  }
  ~Subclass() { SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous)); }
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;
  // The window's own procedure, for the one in front to pass messages on.
  static inline WNDPROC previous = nullptr;

 private:
  HWND window_;
};

class BackgroundWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    ResetMeterSettings();
    ResetRunState();
    ResetMeterIoFakes();
    ResetAppFakes();
    ResetLiveValues();
    ASSERT_EQ(CreateBackgroundWindow(GetModuleHandleA(nullptr)), 0);
    poll = PollWindow();
    dialog = ConfigDialog();
    DrainQueue();
  }
  void TearDown() override {
    StopModalScript();
    if (IsWindow(poll)) DestroyWindow(poll);
    DrainQueue();
    UnregisterClassA(kPollWindowClass, GetModuleHandleA(nullptr));
  }
  // Handles what is pending; true when the quit message was among it.
  static bool DrainQueue() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
      } else {
        DispatchMessageA(&msg);
      }
    }
    return quit;
  }
  void Show() { SendMessageA(poll, kShowConfigMessage, 0, 0); }
  HWND Item(int id) const { return GetDlgItem(dialog, id); }
  std::string Text(int id) const {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
  }
  // Writes a control's text without it being read back as an edit: the
  // dialog hears none of the notifications the write raises.
  void SetQuietly(int id, const char* text) {
    const Subclass held(dialog, HoldCommands);
    SetDlgItemTextA(dialog, id, text);
  }
  static LRESULT CALLBACK HoldCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) return 0;
    return CallWindowProcA(Subclass::previous, window, message, wParam, lParam);
  }
  // A keystroke as the edit receives it from the keyboard.
  void Type(int id, const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k) SendMessageA(Item(id), WM_CHAR, static_cast<WPARAM>(*k), 1);
  }
  void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  // Moving the dialog is one of the messages that refresh it; each move goes
  // somewhere new, since a move to where it is sends nothing.
  void Move() {
    moves += 10;
    SetWindowPos(dialog, nullptr, moves, moves, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int32_t Floor(int32_t index) const {
    int32_t floor = 0;
    int32_t ceiling = 0;
    GetLedRange(index, &floor, &ceiling);
    return floor;
  }
  MeterOptions Options() const {
    MeterOptions options{};
    GetMeterOptions(&options.interpolationLed, &options.writeDelay);
    return options;
  }

  HWND poll = nullptr;
  HWND dialog = nullptr;
  int moves = 0;
};

// With the sources replaced by scriptable stand-ins as well.
class ConfigDialogTest : public BackgroundWindowFixture {
 protected:
  void SetUp() override {
    ResetSourceFakes();
    BackgroundWindowFixture::SetUp();
  }
};
