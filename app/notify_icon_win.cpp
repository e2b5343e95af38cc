// The notification icon: added with the poll window, changed from the
// meter's last frame when the byte or the pause changes, its tooltip kept
// current, and its menu.
#include "app/notify_icon_win.h"

#include <shellapi.h>

#include <cstring>

#include "app/led_icon_win.h"
#include "app/notify_tip.h"
#include "app/resources/resource_ids.h"
#include "core/led_update.h"
#include "core/poll_loop_win.h"
#include "core/scoped_win.h"

namespace {

// The message Explorer broadcasts when it starts; registered with the icon.
constexpr char kTaskbarCreatedName[] = "TaskbarCreated";
// How long the way out waits for a change on its way to Explorer.
constexpr DWORD kSenderStopMs = 2000;

// Whose icon it is, and what it shows: the picture of the byte, paused or
// not, and the tip.
struct IconState {
  HWND window;
  uint8_t byte;
  bool paused;
  std::string tip;
};

// The poll window's thread alone uses these.
HWND iconWindow = nullptr;
UINT taskbarCreated = 0;
std::string port;
// False while the area shows nothing of ours: not added yet, no area, or
// taken away.
bool shown = false;
uint8_t shownByte = 0;
bool shownPaused = false;
LedValues shownValues{};
DWORD lastIconChange = 0;
DWORD lastTipChange = 0;

// Changes go to the notification area from a thread of their own: Explorer
// answers each only once it has drawn it (milliseconds under Wine), and the
// meter's frames must not wait for that. Only the latest change waits to be
// sent; these are shared with that thread under the lock.
SRWLOCK changeLock = SRWLOCK_INIT;
IconState pendingState{};
UINT pendingFlags = 0;
bool senderStopping = false;
ScopedHandle changeReady;
ScopedHandle sender;

IconState CurrentState() {
  const MeterFrame& frame = LastMeterFrame();
  const bool paused = IsConfigVisible();
  return IconState{iconWindow, frame.byte, paused, FormatNotifyTip(port, frame, paused)};
}

bool Notify(DWORD message, UINT flags, const IconState& state) {
  ScopedIcon picture((flags & NIF_ICON) != 0 ? MakeLedIcon(state.byte, state.paused) : nullptr);
  NOTIFYICONDATAA data{};
  // The size every system since Windows 2000 takes, with the long tooltip.
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = state.window;
  data.uID = kNotifyIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kNotifyIconMessage;
  data.hIcon = picture.Get();
  std::strncpy(data.szTip, state.tip.c_str(), sizeof data.szTip - 1);
  return Shell_NotifyIconA(message, &data) != FALSE;
}

DWORD WINAPI SendChanges(LPVOID) {
  for (;;) {
    WaitForSingleObject(changeReady.Get(), INFINITE);
    IconState state;
    UINT flags = 0;
    {
      ScopedExclusiveLock hold(changeLock);
      if (senderStopping) return 0;
      state = pendingState;
      flags = pendingFlags;
      pendingFlags = 0;
    }
    if (flags != 0) Notify(NIM_MODIFY, flags, state);
  }
}

void StartSender() {
  if (sender.IsValid()) return;
  senderStopping = false;
  pendingFlags = 0;
  changeReady.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (changeReady.IsValid()) sender.Reset(CreateThread(nullptr, 0, SendChanges, nullptr, 0, nullptr));
}

// A sender held up by an Explorer that does not answer is left to end on its
// own when it gets its answer, its handles with it: the program is leaving.
void StopSender() {
  if (!sender.IsValid()) return;
  {
    ScopedExclusiveLock hold(changeLock);
    senderStopping = true;
  }
  SetEvent(changeReady.Get());
  if (WaitForSingleObject(sender.Get(), kSenderStopMs) != WAIT_OBJECT_0) return;
  sender.Close();
  changeReady.Close();
}

// Hands the change to the sender; flags of a change not sent yet are kept,
// its state replaced by the newer one. Without a sender, sent at once.
void SendChange(UINT flags, const IconState& state) {
  if (!sender.IsValid()) {
    Notify(NIM_MODIFY, flags, state);
    return;
  }
  {
    ScopedExclusiveLock hold(changeLock);
    pendingState = state;
    pendingFlags |= flags;
  }
  SetEvent(changeReady.Get());
}

// Takes in what the meter shows now; the icon's part only when it changes.
IconState TakeMeterState(bool withIcon) {
  const IconState state = CurrentState();
  if (withIcon) {
    shownByte = state.byte;
    shownPaused = state.paused;
    lastIconChange = GetTickCount();
  }
  shownValues = LastMeterFrame().values;
  lastTipChange = GetTickCount();
  return state;
}

void AddIcon() { shown = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, TakeMeterState(true)); }

// An elevated program gets Explorer's broadcast only when it lets it in; the
// call exists from Windows 7 on.
void AllowTaskbarCreated(HWND window) {
  HMODULE user = GetModuleHandleA("user32.dll");
  decltype(&ChangeWindowMessageFilterEx) allow = nullptr;
  if (user == nullptr || !ResolveEntryPoint(user, "ChangeWindowMessageFilterEx", &allow)) return;
  allow(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
}

}  // namespace

void StartNotifyIcon(HWND window, const std::string& portLabel) {
  iconWindow = window;
  port = portLabel;
  taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedName);
  AllowTaskbarCreated(window);
  AddIcon();
  StartSender();
  SetPassObserver(FollowMeter);
}

// For good: a later broadcast from Explorer adds nothing.
void RemoveNotifyIcon() {
  StopSender();
  if (shown) Notify(NIM_DELETE, 0, IconState{iconWindow, 0, false, std::string()});
  shown = false;
  iconWindow = nullptr;
}

bool IsTaskbarCreated(UINT message) { return taskbarCreated != 0 && message == taskbarCreated; }

// Explorer forgot every icon when it ended; whether ours was in it or could
// not be added before, it is added now.
void AddNotifyIconAgain() {
  if (iconWindow != nullptr && IsWindow(iconWindow)) AddIcon();
}

void ShowNotifyMenu(HWND window) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  ScopedMenu menu(LoadMenuA(instance, MAKEINTRESOURCEA(IDR_NOTIFY_MENU)));
  if (!menu.IsValid()) return;
  HMENU popup = GetSubMenu(menu.Get(), 0);
  SetMenuDefaultItem(popup, IDM_NOTIFY_CONFIGURE, FALSE);
  POINT at{};
  GetCursorPos(&at);
  // Without being in the foreground first, the menu would stay open when the
  // user clicks elsewhere; the message after it lets it close properly.
  SetForegroundWindow(window);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
  PostMessageA(window, WM_NULL, 0, 0);
}

void FollowMeter() {
  if (!shown) return;
  const MeterFrame& frame = LastMeterFrame();
  const DWORD now = GetTickCount();
  const bool pauseChanged = IsConfigVisible() != shownPaused;
  const bool byteDue = frame.byte != shownByte && now - lastIconChange >= kIconIntervalMs;
  if (pauseChanged || byteDue) {
    SendChange(NIF_ICON | NIF_TIP, TakeMeterState(true));
  } else if (frame.values != shownValues && now - lastTipChange >= kTipIntervalMs) {
    SendChange(NIF_TIP, TakeMeterState(false));
  }
}
