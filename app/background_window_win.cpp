// The poll window: creates the configuration dialog with itself, shows it on
// a second start's request, and ends the program when it is destroyed.
#include "app/background_window_win.h"

#include "app/config_dialog_win.h"
#include "app/notify_icon_win.h"
#include "app/resources/resource_ids.h"
#include "app/session_end.h"
#include "core/poll_loop_win.h"

namespace {

HWND pollWindow = nullptr;
HWND configDialog = nullptr;

bool RegisterPollWindowClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PollWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PIPSTACK));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOWTEXT + 1));
  wc.lpszClassName = kPollWindowClass;
  return RegisterClassExA(&wc) != 0;
}

LRESULT OnCreate(HWND window) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  configDialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONFIG), window, ConfigDialogProc, 0);
  return configDialog != nullptr ? 0 : -1;  // -1 fails the poll window's creation
}

LRESULT OnDestroy(HWND window) {
  RemoveNotifyIcon();
  // Windows destroys owned windows along with their owner, so the dialog may
  // already be gone.
  if (configDialog != nullptr && IsWindow(configDialog)) DestroyWindow(configDialog);
  configDialog = nullptr;
  // A poll window whose creation failed is destroyed before pollWindow is
  // set. Ending the program then is the caller's business: a posted quit
  // message would close its error box the moment it opened.
  if (window != pollWindow) return 0;
  pollWindow = nullptr;
  PostQuitMessage(0);
  RequestQuit();
  return 0;
}

LRESULT OnShowRequest() {
  SetConfigVisible(true);
  ShowWindow(configDialog, SW_SHOW);
  return 0;
}

LRESULT OnNotifyIcon(HWND window, LPARAM mouse) {
  switch (LOWORD(mouse)) {
    case WM_LBUTTONDBLCLK:
      return OnShowRequest();  // as a second start
    case WM_RBUTTONUP:
      ShowNotifyMenu(window);
      return 0;
    default:
      return 0;
  }
}

// The icon's menu: Configure as a second start; the others are the dialog's
// own buttons, pressed as the user would (Meter Tests and About over the
// shown dialog, the meter paused), so Quit does exactly what its Quit does.
LRESULT OnMenuCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  switch (id) {
    case IDM_NOTIFY_CONFIGURE:
      return OnShowRequest();
    case IDC_CONFIG_METER_TESTS:
    case IDC_CONFIG_ABOUT:
      OnShowRequest();
      SendMessageA(configDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
      return 0;
    case IDC_CONFIG_QUIT:
      SendMessageA(configDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
      return 0;
    default:
      return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
  }
}

// Windows may end the process as soon as this returns, before the poll loop
// could save anything.
LRESULT OnEndSession(bool ending) {
  if (!ending) return 0;
  RemoveNotifyIcon();
  SaveAndRestoreForSessionEnd();
  return 0;
}

}  // namespace

int32_t CreateBackgroundWindow(HINSTANCE instance) {
  if (!RegisterPollWindowClass(instance)) return kBackgroundWindowNoClass;
  pollWindow =
      CreateWindowExA(0, kPollWindowClass, kPollWindowTitle, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  if (pollWindow == nullptr) return kBackgroundWindowNoWindow;
  return kBackgroundWindowOk;
}

HWND PollWindow() { return pollWindow; }

HWND ConfigDialog() { return configDialog; }

void DestroyPollWindow() {
  if (pollWindow != nullptr) DestroyWindow(pollWindow);
}

LRESULT CALLBACK PollWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      return OnDestroy(window);
    case kShowConfigMessage:
      return OnShowRequest();
    case kNotifyIconMessage:
      return OnNotifyIcon(window, lParam);
    case WM_COMMAND:
      return OnMenuCommand(window, wParam, lParam);
    case WM_ENDSESSION:
      return OnEndSession(wParam != FALSE);
    default:
      if (IsTaskbarCreated(message)) {
        AddNotifyIconAgain();
        return 0;
      }
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
