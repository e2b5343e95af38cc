// The notification icon with the poll window, in the notification area of
// the session's Explorer: added, added again when Explorer starts again,
// removed on the way out while the window still exists; its menu and
// double-click reach what the dialog's buttons and a second start reach.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/notify_icon_win.h"
#include "app/resources/resource_ids.h"
#include "core/led_update.h"
#include "tests/app/config_fixture.h"
#include "tests/app/fake_notification_area.h"

namespace {

// Changing nothing of an icon succeeds exactly when the area holds it.
bool IconInArea(HWND window, DWORD message = NIM_MODIFY) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window;
  data.uID = kNotifyIconId;
  return Shell_NotifyIconA(message, &data) != FALSE;
}

class NotifyIconTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    // Explorer sets up the area when the session's first window appears.
    for (int tries = 0; tries < 100 && FindWindowA("Shell_TrayWnd", nullptr) == nullptr; ++tries) Sleep(100);
    ASSERT_NE(FindWindowA("Shell_TrayWnd", nullptr), nullptr) << "no notification area in the session";
    ConfigDialogTest::SetUp();
    StartNotifyIcon(poll, "LPT1 (0x378)");
  }
};

TEST_F(NotifyIconTest, AddedAddedAgainWhenExplorerRestartsAndRemovedAtSessionEnd) {
  EXPECT_TRUE(IconInArea(poll));
  // A new Explorer knows no icons until it broadcasts that it started.
  ASSERT_TRUE(IconInArea(poll, NIM_DELETE));
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  SendMessageA(poll, taskbarCreated, 0, 0);
  EXPECT_TRUE(IconInArea(poll));

  SendMessageA(poll, WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(IconInArea(poll)) << "removed although the session goes on";
  SendMessageA(poll, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(app.sessionEndCalls, 1);
  ASSERT_TRUE(IsWindow(poll));
  EXPECT_FALSE(IconInArea(poll)) << "still there at the end of the session";
  SendMessageA(poll, taskbarCreated, 0, 0);
  EXPECT_FALSE(IconInArea(poll)) << "added again on the way out";
}

// Read inside the menu's own loop, which a thread timer reaches; the menu
// is this thread's window of the menu class.
std::vector<std::string> menuItems;
UINT menuDefault = 0;
BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32768" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&window));
  if (window == nullptr) return;
  const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
  for (int k = 0; k < GetMenuItemCount(menu); ++k) {
    char text[64] = {};
    GetMenuStringA(menu, static_cast<UINT>(k), text, sizeof text, MF_BYPOSITION);
    menuItems.emplace_back(text);
  }
  menuDefault = GetMenuDefaultItem(menu, FALSE, 0);
  KillTimer(nullptr, timer);
  EndMenu();
}

TEST_F(NotifyIconTest, RightClickOpensTheMenuOfFourCommandsConfigureTheDefault) {
  SetTimer(nullptr, 0, 20, ReadAndCloseMenu);
  SendMessageA(poll, kNotifyIconMessage, kNotifyIconId, WM_RBUTTONUP);
  EXPECT_EQ(menuItems, (std::vector<std::string>{"&Configure...", "Meter &Tests...", "&About...", "", "&Quit"}));
  EXPECT_EQ(menuDefault, static_cast<UINT>(IDM_NOTIFY_CONFIGURE));
}

// Whether the icon was still in the area right after the poll window handled
// its destruction, before the window was gone: the platform itself takes away
// the icons of a window that no longer exists.
WNDPROC pollProcedure = nullptr;
bool iconAfterDestroy = true;
LRESULT CALLBACK WatchDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(pollProcedure, window, message, wParam, lParam);
  if (message == WM_DESTROY) iconAfterDestroy = IconInArea(window);
  return result;
}

TEST_F(NotifyIconTest, DoubleClickAndTheMenuCommandsDoWhatASecondStartAndTheDialogDo) {
  SendMessageA(poll, kNotifyIconMessage, kNotifyIconId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(dialog));
  Click(IDC_CONFIG_CLOSE);
  SendMessageA(poll, WM_COMMAND, IDM_NOTIFY_CONFIGURE, 0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsConfigVisible());

  // The tests and the about box open over the shown dialog, the meter paused.
  const struct {
    int command;
    const char* caption;
    int ok;
  } modals[] = {{IDC_CONFIG_ABOUT, "About Pipstack", IDC_ABOUT_OK},
                {IDC_CONFIG_METER_TESTS, "Test Sequences", IDC_TEST_CLOSE}};
  for (const auto& modal : modals) {
    Click(IDC_CONFIG_CLOSE);
    HWND owner = nullptr;
    StartModalScript(modal.caption, {[&owner, &modal](HWND box) {
                       owner = GetWindow(box, GW_OWNER);
                       SendDlgItemMessageA(box, modal.ok, BM_CLICK, 0, 0);
                     }});
    SendMessageA(poll, WM_COMMAND, static_cast<WPARAM>(modal.command), 0);
    EXPECT_TRUE(ModalScriptSucceeded()) << modal.caption;
    EXPECT_EQ(owner, dialog) << modal.caption;
    EXPECT_TRUE(IsConfigVisible()) << modal.caption;
  }

  pollProcedure =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(poll, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
  SendMessageA(poll, WM_COMMAND, IDC_CONFIG_QUIT, 0);
  EXPECT_FALSE(iconAfterDestroy) << "the icon outlived Quit";
  EXPECT_TRUE(IsQuitRequested());
  EXPECT_FALSE(IsWindow(poll));
  EXPECT_TRUE(DrainQueue()) << "no quit message";
}

// The icon in a notification area of the test's own, which shows what it was
// told last and can be made to hang as Explorer may.
constexpr char kPort[] = "LPT1 (0x378)";

class AreaIconTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(area.Ready()) << "the test's notification area is not the one found";
    ConfigDialogTest::SetUp();
    SetMeterOptions(kInterpolationOff, 40);
    fakes.allValues = {11, 22, 33, 44, 55, 66, 77, 88};
    UpdateLeds();
    StartNotifyIcon(poll, kPort);
    ASSERT_EQ(area.Count(), 1u);
    ASSERT_EQ(area.Messages()[0].message, static_cast<DWORD>(NIM_ADD));
  }
  void TearDown() override {
    area.Answer();
    ConfigDialogTest::TearDown();
  }
  static bool Paused(const std::string& tip) { return tip.find(" - paused") != std::string::npos; }
  // Waits until the area has taken in count messages and the last tip it
  // shows is paused or not.
  bool WaitForTip(size_t count, bool paused, DWORD milliseconds = 2000) const {
    return area.WaitFor(
        [count, paused](const FakeNotificationArea& a) { return a.Count() >= count && Paused(a.ShownTip()) == paused; },
        milliseconds);
  }

  FakeNotificationArea area{kPort};
};

TEST_F(AreaIconTest, PauseChangesAtOnceLedsAndValuesAtMostTwiceASecond) {
  EXPECT_EQ(area.ShownTip(), "LPT1 (0x378)\nLEDs 1-8: 11 22 33 44 55 66 77 88");

  // A new frame right after the last change waits; a pause does not.
  fakes.allValues = {90, 90, 90, 90, 90, 90, 90, 90};
  UpdateLeds();
  FollowMeter();
  Sleep(100);
  EXPECT_EQ(area.Count(), 1u) << "a new frame was sent at once";
  SetConfigVisible(true);
  FollowMeter();
  ASSERT_TRUE(WaitForTip(2, true));
  EXPECT_EQ(area.Messages().back().message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(area.ShownTip(), "LPT1 (0x378) - paused\nLEDs 1-8: 90 90 90 90 90 90 90 90");
  SetConfigVisible(false);
  FollowMeter();
  ASSERT_TRUE(WaitForTip(3, false));

  // Half a second on, the next frame goes.
  fakes.allValues = {0, 0, 0, 0, 0, 0, 0, 0};
  UpdateLeds();
  Sleep(kIconIntervalMs + 50);
  FollowMeter();
  ASSERT_TRUE(WaitForTip(4, false));
  EXPECT_EQ(area.ShownTip(), "LPT1 (0x378)\nLEDs 1-8: 0 0 0 0 0 0 0 0");
}

TEST_F(AreaIconTest, AfterExplorerRestartsTheAreaEndsWithWhatWasAdded) {
  // The sender is held in a change, and the next waits behind it.
  area.Hold(500);
  SetConfigVisible(true);
  FollowMeter();
  ASSERT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return a.Count() == 2; }, 1000));
  SetConfigVisible(false);
  FollowMeter();
  // The meter pauses again, and Explorer starts again before the poll loop
  // has told the icon: the icon is added anew, paused.
  SetConfigVisible(true);
  SendMessageA(poll, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  area.Answer();
  ASSERT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return a.Count() >= 4; }, 3000));
  Sleep(200);
  const std::vector<AreaMessage> messages = area.Messages();
  EXPECT_EQ(messages[2].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(Paused(messages[2].tip));
  EXPECT_TRUE(Paused(area.ShownTip())) << "an older change came after the icon was added";
}

TEST_F(AreaIconTest, AnAreaThatDoesNotAnswerHoldsTheWayOutUpOnceAndARestartSendsAgain) {
  area.Hold(4000);
  SetConfigVisible(true);
  FollowMeter();
  ASSERT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return a.Count() == 2; }, 1000));

  const DWORD start = GetTickCount();
  RemoveNotifyIcon();
  const DWORD first = GetTickCount() - start;
  RemoveNotifyIcon();
  const DWORD second = GetTickCount() - start - first;
  EXPECT_LT(first, 3000u) << "the way out waited on the area";
  EXPECT_LT(second, 100u) << "the second removal waited again";

  // Once the area answers, the old sender ends without touching the icon
  // added since, and the new one sends the changes.
  area.Answer();
  StartNotifyIcon(poll, kPort);
  SetConfigVisible(false);
  FollowMeter();
  EXPECT_TRUE(area.WaitFor(
      [](const FakeNotificationArea& a) {
        return a.Messages().back().message == static_cast<DWORD>(NIM_MODIFY) && !Paused(a.ShownTip());
      },
      2000))
      << "a restarted icon sends no changes";
  Sleep(200);
  for (const AreaMessage& m : area.Messages()) EXPECT_NE(m.message, static_cast<DWORD>(NIM_DELETE));
}

// Inside the menu's loop: whether the area shows the pause, then the menu
// closes.
FakeNotificationArea* menuArea = nullptr;
bool pausedInMenu = false;
void CALLBACK WatchPauseAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&window));
  if (window == nullptr) return;
  KillTimer(nullptr, timer);
  pausedInMenu = menuArea->WaitFor(
      [](const FakeNotificationArea& a) { return a.ShownTip().find(" - paused") != std::string::npos; }, 2000);
  EndMenu();
}

TEST_F(AreaIconTest, TheIconShowsThePauseWhileItsMenuIsOpen) {
  menuArea = &area;
  const struct {
    bool dialogShown;
    bool pausedAfter;
  } rows[] = {{false, false}, {true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dialogShown ? "dialog shown" : "meter running");
    if (row.dialogShown) Show();
    FollowMeter();
    pausedInMenu = false;
    SetTimer(nullptr, 0, 20, WatchPauseAndCloseMenu);
    SendMessageA(poll, kNotifyIconMessage, kNotifyIconId, WM_RBUTTONUP);
    EXPECT_TRUE(pausedInMenu);
    Sleep(200);
    EXPECT_TRUE(WaitForTip(1, row.pausedAfter));
  }
}

// This thread's shown Test Sequences and About windows.
BOOL CALLBACK CollectSmallDialog(HWND window, LPARAM found) {
  char caption[64] = {};
  GetWindowTextA(window, caption, sizeof caption);
  const std::string text(caption);
  if (IsWindowVisible(window) && (text == "Test Sequences" || text == "About Pipstack")) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}
bool OfThisProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}
std::vector<HWND> ShownSmallDialogs() {
  std::vector<HWND> shown;
  EnumThreadWindows(GetCurrentThreadId(), CollectSmallDialog, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

TEST_F(ConfigDialogTest, MenuCommandsWhileAModalDialogIsOpenBringItToTheFront) {
  sources.pdhAvailable = 0;  // "..." opens Select Data Source
  // A window of the test's own takes the foreground before each command, so
  // that the dialog brought to the front shows it. Tests that run beside this
  // one show windows of their own, which may take the foreground at any
  // moment: when one of them holds it, the command is given again.
  const HWND other = CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
  const struct {
    int opener;
    const char* caption;
    int close;
    size_t smallDialogs;  // Test Sequences and About windows while it is open
  } rows[] = {{IDC_CONFIG_METER_TESTS, "Test Sequences", IDC_TEST_CLOSE, 1},
              {IDC_CONFIG_ABOUT, "About Pipstack", IDC_ABOUT_OK, 1},
              {IDC_CONFIG_SOURCE_BUTTON_3, "Select Data Source", IDC_SOURCE_OK, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.caption);
    Show();
    struct Seen {
      bool elsewhere = false;
      bool toFront = false;
      size_t smallDialogs = 0;
    } seen[2];
    std::vector<ModalStep> steps;
    const int commands[] = {IDC_CONFIG_METER_TESTS, IDC_CONFIG_ABOUT};
    for (int k = 0; k < 2; ++k) {
      steps.push_back([&, k](HWND box) {
        for (int attempt = 0; attempt < 5; ++attempt) {
          SetForegroundWindow(other);
          const HWND before = GetForegroundWindow();
          SendMessageA(poll, WM_COMMAND, static_cast<WPARAM>(commands[k]), 0);  // the menu's command
          const HWND after = GetForegroundWindow();
          seen[k].elsewhere = before == other;
          seen[k].toFront = after == box;
          if (OfThisProcess(before) && OfThisProcess(after)) break;
        }
      });
      // A second dialog's loop would run inside the command: the next tick
      // ends it there.
      steps.push_back([&, k](HWND box) {
        const std::vector<HWND> shown = ShownSmallDialogs();
        seen[k].smallDialogs = shown.size();
        for (HWND extra : shown) {
          if (extra != box) EndDialog(extra, 0);
        }
      });
    }
    steps.push_back([&row](HWND box) { SendDlgItemMessageA(box, row.close, BM_CLICK, 0, 0); });
    StartModalScript(row.caption, steps);
    Click(row.opener);
    EXPECT_TRUE(ModalScriptSucceeded());
    for (int k = 0; k < 2; ++k) {
      SCOPED_TRACE(k == 0 ? "Meter Tests..." : "About...");
      ASSERT_TRUE(seen[k].elsewhere) << "the test's own window did not get the foreground";
      EXPECT_TRUE(seen[k].toFront) << "the open dialog was not brought to the front";
      EXPECT_EQ(seen[k].smallDialogs, row.smallDialogs) << "a second dialog was opened";
    }
    EXPECT_TRUE(IsWindowEnabled(dialog));
  }
  DestroyWindow(other);
}

}  // namespace
