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
// How long the way out waits for the changes on their way to Explorer and the
// removal after them.
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
// Set while the icon's menu is open: its loop runs on this thread, so the
// meter writes nothing meanwhile.
bool menuOpen = false;
// Whether the LEDs' device is there (a USB output may be unplugged), and
// what the tip said of it last.
OutputConnected outputConnected = nullptr;
bool shownConnected = true;

bool Connected() { return outputConnected == nullptr || outputConnected(); }

// Changes go to the notification area from a thread of their own: Explorer
// answers each only once it has drawn it (milliseconds under Wine, never
// when it hangs), and the meter's frames must not wait for that. Only the
// latest change waits to be sent; the removal is the sender's last word.
//
// The sender and the poll window's thread share this outbox and each holds
// a share of it; whichever lets go last frees it. So a sender still held up
// by Explorer when the program ends never meets a closed handle or a freed
// lock: the outbox outlives it, whatever the program has destroyed.
struct Outbox {
  SRWLOCK lock = SRWLOCK_INIT;
  IconState pending{};
  UINT pendingFlags = 0;
  bool ending = false;        // the sender ends after what it has in hand
  HWND removeFrom = nullptr;  // whose icon it takes away first; null for none
  ScopedHandle ready;         // set when there is something to send
  LONG holders = 2;
};

Outbox* outbox = nullptr;
ScopedHandle sender;

void LetGo(Outbox* box) {
  if (InterlockedDecrement(&box->holders) == 0) delete box;
}

bool ShowsPause() { return IsConfigVisible() || menuOpen; }

IconState CurrentState() {
  const MeterFrame& frame = LastMeterFrame();
  const bool paused = ShowsPause();
  return IconState{iconWindow, frame.byte, paused, FormatNotifyTip(port, frame, paused, Connected())};
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

DWORD WINAPI SendChanges(LPVOID parameter) {
  auto* box = static_cast<Outbox*>(parameter);
  for (;;) {
    WaitForSingleObject(box->ready.Get(), INFINITE);
    IconState state;
    UINT flags = 0;
    bool ending = false;
    HWND removeFrom = nullptr;
    {
      ScopedExclusiveLock hold(box->lock);
      state = box->pending;
      flags = box->pendingFlags;
      box->pendingFlags = 0;
      ending = box->ending;
      removeFrom = box->removeFrom;
    }
    if (ending) {
      if (removeFrom != nullptr) Notify(NIM_DELETE, 0, IconState{removeFrom, 0, false, std::string()});
      break;
    }
    if (flags != 0) Notify(NIM_MODIFY, flags, state);
  }
  LetGo(box);
  return 0;
}

void StartSender() {
  if (outbox != nullptr) return;
  auto* box = new Outbox;
  box->ready.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (box->ready.IsValid()) sender.Reset(CreateThread(nullptr, 0, SendChanges, box, 0, nullptr));
  if (!sender.IsValid()) {
    delete box;
    return;
  }
  outbox = box;
}

// Hands the sender its last word, the removal of the icon when there is one,
// and waits for it to end. A sender held up by an Explorer that does not
// answer is left to end on its own when the answer comes, or with the
// process: the outbox it holds outlives it. Either way the sender is gone
// from here, so a later start has one of its own.
void StopSender(bool removeIcon) {
  {
    ScopedExclusiveLock hold(outbox->lock);
    outbox->ending = true;
    outbox->removeFrom = removeIcon ? iconWindow : nullptr;
  }
  SetEvent(outbox->ready.Get());
  if (WaitForSingleObject(sender.Get(), kSenderStopMs) != WAIT_OBJECT_0) {
    // The icon is no longer its to take away when the answer comes: a later
    // start may have added it anew by then.
    ScopedExclusiveLock hold(outbox->lock);
    outbox->removeFrom = nullptr;
  }
  sender.Close();
  LetGo(outbox);
  outbox = nullptr;
}

// Hands the change to the sender; flags of a change not sent yet are kept,
// its state replaced by the newer one. Without a sender, sent at once.
void SendChange(UINT flags, const IconState& state) {
  if (outbox == nullptr) {
    Notify(NIM_MODIFY, flags, state);
    return;
  }
  {
    ScopedExclusiveLock hold(outbox->lock);
    outbox->pending = state;
    outbox->pendingFlags |= flags;
  }
  SetEvent(outbox->ready.Get());
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
  shownConnected = Connected();
  lastTipChange = GetTickCount();
  return state;
}

void AddIcon(const IconState& state) { shown = Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, state); }

// An elevated program gets Explorer's broadcast only when it lets it in; the
// call exists from Windows 7 on.
void AllowTaskbarCreated(HWND window) {
  HMODULE user = GetModuleHandleA("user32.dll");
  decltype(&ChangeWindowMessageFilterEx) allow = nullptr;
  if (user == nullptr || !ResolveEntryPoint(user, "ChangeWindowMessageFilterEx", &allow)) return;
  allow(window, taskbarCreated, MSGFLT_ALLOW, nullptr);
}

}  // namespace

void StartNotifyIcon(HWND window, const std::string& portLabel, OutputConnected connected) {
  iconWindow = window;
  port = portLabel;
  outputConnected = connected;
  taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedName);
  AllowTaskbarCreated(window);
  AddIcon(TakeMeterState(true));
  StartSender();
  SetPassObserver(FollowMeter);
}

// For good: a later broadcast from Explorer adds nothing, and a later call
// finds nothing left to do, so the ways out that each call it wait for
// Explorer once between them.
void RemoveNotifyIcon() {
  if (outbox != nullptr) {
    StopSender(shown);
  } else if (shown) {
    Notify(NIM_DELETE, 0, IconState{iconWindow, 0, false, std::string()});
  }
  shown = false;
  iconWindow = nullptr;
}

bool IsTaskbarCreated(UINT message) { return taskbarCreated != 0 && message == taskbarCreated; }

// Explorer forgot every icon when it ended; whether ours was in it or could
// not be added before, it is added now.
void AddNotifyIconAgain() {
  if (iconWindow == nullptr || !IsWindow(iconWindow)) return;
  const IconState state = TakeMeterState(true);
  // What the sender still holds, or is sending, is older than what is added
  // now; the added state goes after it, so that the last change Explorer
  // hears is the one the icon now takes for shown.
  if (outbox != nullptr) SendChange(NIF_ICON | NIF_TIP, state);
  AddIcon(state);
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
  // The menu's loop holds the meter up: the icon shows the pause meanwhile.
  menuOpen = true;
  FollowMeter();
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
  menuOpen = false;
  FollowMeter();
  PostMessageA(window, WM_NULL, 0, 0);
}

void FollowMeter() {
  if (!shown) return;
  const MeterFrame& frame = LastMeterFrame();
  const DWORD now = GetTickCount();
  const bool pauseChanged = ShowsPause() != shownPaused;
  const bool byteDue = frame.byte != shownByte && now - lastIconChange >= kIconIntervalMs;
  if (pauseChanged || byteDue) {
    SendChange(NIF_ICON | NIF_TIP, TakeMeterState(true));
  } else if (Connected() != shownConnected || (frame.values != shownValues && now - lastTipChange >= kTipIntervalMs)) {
    SendChange(NIF_TIP, TakeMeterState(false));
  }
}
