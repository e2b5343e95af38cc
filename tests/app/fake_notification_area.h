// A notification area of the test's own, found before Explorer's: a window of
// the tray's class, in front of every other, on a thread of its own. It
// answers Shell_NotifyIcon as Explorer does and records what it was told; on
// request it holds each message a while before answering, as an Explorer
// that hangs does. Header-only, for the tests of the icon in the program and
// in the test process alike.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/scoped_win.h"

// One message as the area took it in: NIM_ADD, NIM_MODIFY or NIM_DELETE, and
// the tip from the port's name on, when the message carried one.
struct AreaMessage {
  DWORD message;
  std::string tip;
};

class FakeNotificationArea {
 public:
  // portName: how the tips name the port, which is how the area finds the
  // tip in what Shell_NotifyIcon hands over.
  explicit FakeNotificationArea(const std::string& portName) : portName_(portName) {
    answer_.Reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    started_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_.Reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (thread_.IsValid()) WaitForSingleObject(started_.Get(), kStartMs);
  }
  ~FakeNotificationArea() {
    Answer();
    if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_.IsValid()) WaitForSingleObject(thread_.Get(), kStartMs);
  }
  FakeNotificationArea(const FakeNotificationArea&) = delete;
  FakeNotificationArea& operator=(const FakeNotificationArea&) = delete;

  // True once the area is the one Shell_NotifyIcon finds.
  bool Ready() const {
    return window_ != nullptr && FindWindowExW(nullptr, nullptr, L"Shell_TrayWnd", nullptr) == window_;
  }
  // From now on each message waits up to holdMs before it is answered.
  void Hold(DWORD holdMs) {
    holdMs_ = holdMs;
    ResetEvent(answer_.Get());
  }
  // Answers what is held and everything after at once.
  void Answer() { SetEvent(answer_.Get()); }

  std::vector<AreaMessage> Messages() const {
    const ScopedExclusiveLock hold(lock_);
    return messages_;
  }
  // Messages taken in so far, the one held now included.
  size_t Count() const { return Messages().size(); }
  // The tip the area shows: that of the last add or change that had one.
  std::string ShownTip() const {
    std::string tip;
    for (const AreaMessage& m : Messages()) {
      if (m.message == NIM_DELETE) tip.clear();
      if (!m.tip.empty()) tip = m.tip;
    }
    return tip;
  }
  // Waits for the condition on the messages; true when it came in the time.
  bool WaitFor(const std::function<bool(const FakeNotificationArea&)>& condition, DWORD milliseconds) const {
    const DWORD start = GetTickCount();
    while (!condition(*this)) {
      if (GetTickCount() - start > milliseconds) return false;
      Sleep(10);
    }
    return true;
  }

 private:
  static constexpr DWORD kStartMs = 5000;
  static constexpr char kClass[] = "Shell_TrayWnd";

  static DWORD WINAPI Run(LPVOID parameter) {
    auto* area = static_cast<FakeNotificationArea*>(parameter);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    // In front of Explorer's own, so that the tray Shell_NotifyIcon finds
    // first is this one.
    area->window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, nullptr, WS_POPUP, 0, 0, 1, 1, nullptr,
                                    nullptr, instance, area);
    SetEvent(area->started_.Get());
    MSG msg;
    if (area->window_ != nullptr) {
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    }
    UnregisterClassA(kClass, instance);
    return 0;
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* area = reinterpret_cast<FakeNotificationArea*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
      case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
      case WM_COPYDATA:
        area->TakeIn(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        WaitForSingleObject(area->answer_.Get(), area->holdMs_);
        return TRUE;
      case WM_CLOSE:
        DestroyWindow(window);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  // The message is in the copy's number; where the tip lies in the data is
  // the platform's own business, so it is looked for: the port's name in
  // UTF-16, on to its terminating zero.
  void TakeIn(const COPYDATASTRUCT& copy) {
    AreaMessage taken{static_cast<DWORD>(copy.dwData), std::string()};
    const auto* text = static_cast<const wchar_t*>(copy.lpData);
    const size_t length = copy.cbData / sizeof(wchar_t);
    const std::wstring wide(portName_.begin(), portName_.end());
    const std::wstring all(text, length);
    const size_t at = all.find(wide);
    if (at != std::wstring::npos) {
      for (size_t k = at; k < length && all[k] != L'\0'; ++k) taken.tip += static_cast<char>(all[k]);
    }
    const ScopedExclusiveLock hold(lock_);
    messages_.push_back(taken);
  }

  std::string portName_;
  ScopedHandle answer_;
  ScopedHandle started_;
  ScopedHandle thread_;
  HWND window_ = nullptr;
  std::atomic<DWORD> holdMs_{0};
  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  std::vector<AreaMessage> messages_;
};
