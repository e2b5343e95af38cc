// The notification icon with the poll window, in the notification area of
// the session's Explorer: added, added again when Explorer starts again,
// removed on the way out while the window still exists; its menu and
// double-click reach what the dialog's buttons and a second start reach.
#include <windows.h>

#include <shellapi.h>

#include <array>
#include <string>
#include <vector>

#include "app/notify_icon_win.h"
#include "app/resources/resource_ids.h"
#include "tests/app/config_fixture.h"

namespace {

// Changing nothing of an icon succeeds exactly when the area holds it.
bool IconInArea(HWND window) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window;
  data.uID = kNotifyIconId;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
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

// The menu as TrackPopupMenu shows it: every item's text and the default.
struct MenuSeen {
  std::vector<std::string> items;
  UINT defaultId = 0;
};
MenuSeen menuSeen;

BOOL CALLBACK ReadMenuWindow(HWND window, LPARAM) {
  std::array<char, 16> name{};
  GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  if (std::string(name.data()) != "#32768" || !IsWindowVisible(window)) return TRUE;
  const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
  for (int k = 0; k < GetMenuItemCount(menu); ++k) {
    std::array<char, 64> text{};
    GetMenuStringA(menu, static_cast<UINT>(k), text.data(), static_cast<int>(text.size()), MF_BYPOSITION);
    menuSeen.items.emplace_back(text.data());
  }
  menuSeen.defaultId = GetMenuDefaultItem(menu, FALSE, 0);
  return FALSE;
}

// Runs inside the menu's own loop: reads the open menu, then closes it.
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), ReadMenuWindow, 0);
  if (menuSeen.items.empty()) return;
  KillTimer(nullptr, timer);
  EndMenu();
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

TEST_F(NotifyIconTest, AddedAddedAgainWhenExplorerRestartsAndRemovedAtSessionEnd) {
  EXPECT_TRUE(IconInArea(poll));
  // A new Explorer knows no icons until it broadcasts that it started.
  NOTIFYICONDATAA forget{};
  forget.cbSize = NOTIFYICONDATAA_V2_SIZE;
  forget.hWnd = poll;
  forget.uID = kNotifyIconId;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &forget));
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

TEST_F(NotifyIconTest, RightClickOpensTheMenuOfFourCommandsConfigureFirstAndDefault) {
  menuSeen = MenuSeen{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadAndCloseMenu);
  SendMessageA(poll, kNotifyIconMessage, kNotifyIconId, WM_RBUTTONUP);
  KillTimer(nullptr, timer);
  EXPECT_EQ(menuSeen.items, (std::vector<std::string>{"&Configure...", "Meter &Tests...", "&About...", "", "&Quit"}));
  EXPECT_EQ(menuSeen.defaultId, static_cast<UINT>(IDM_NOTIFY_CONFIGURE));
  EXPECT_FALSE(IsWindowVisible(dialog)) << "a closed menu chose nothing";
}

TEST_F(NotifyIconTest, DoubleClickAndTheMenuCommandsDoWhatTheDialogAndASecondStartDo) {
  SendMessageA(poll, kNotifyIconMessage, kNotifyIconId, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsConfigVisible());
  Click(IDC_CONFIG_CLOSE);
  SendMessageA(poll, WM_COMMAND, IDM_NOTIFY_CONFIGURE, 0);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsConfigVisible());

  // The tests and the about box open over the shown dialog, the meter paused.
  const std::vector<std::pair<int, std::pair<const char*, int>>> modals = {
      {IDC_CONFIG_ABOUT, {"About Pipstack", IDC_ABOUT_OK}},
      {IDC_CONFIG_METER_TESTS, {"Test Sequences", IDC_TEST_CLOSE}},
  };
  for (const auto& [command, box] : modals) {
    Click(IDC_CONFIG_CLOSE);
    HWND owner = nullptr;
    const int ok = box.second;
    StartModalScript(box.first, {[&owner, ok](HWND window) {
                       owner = GetWindow(window, GW_OWNER);
                       SendDlgItemMessageA(window, ok, BM_CLICK, 0, 0);
                     }});
    SendMessageA(poll, WM_COMMAND, static_cast<WPARAM>(command), 0);
    EXPECT_TRUE(ModalScriptSucceeded()) << box.first;
    EXPECT_EQ(owner, dialog) << box.first;
    EXPECT_TRUE(IsConfigVisible()) << box.first;
  }

  pollProcedure =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(poll, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
  SendMessageA(poll, WM_COMMAND, IDC_CONFIG_QUIT, 0);
  EXPECT_FALSE(iconAfterDestroy) << "the icon outlived Quit";
  EXPECT_TRUE(IsQuitRequested());
  EXPECT_FALSE(IsConfigVisible());
  EXPECT_FALSE(IsWindow(poll));
  EXPECT_TRUE(DrainQueue()) << "no quit message";
}

}  // namespace
