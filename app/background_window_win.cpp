// The poll window: creates the configuration dialog with itself, shows it on
// a second start's request, and ends the program when it is destroyed.
#include "app/background_window_win.h"

#include "app/config_dialog_win.h"
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
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns, before the poll
      // loop could save anything.
      if (wParam) SaveAndRestoreForSessionEnd();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
