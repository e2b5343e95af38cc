// The counter browser under Wine, driven with messages from a second thread as a user would.
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "emulation/pdh/browser_ids.h"
#include "pdh_library.h"

namespace {

constexpr const char* kCaption = "Select a value for LED 3 to watch.";

// Waits for this process's browser to show (tests running beside this one
// open browsers with the same caption); the browser's thread is the test's.
HWND WaitForBrowser(const char* caption) {
  for (int tries = 0; tries < 200; ++tries) {
    for (HWND dialog = FindWindowExA(nullptr, nullptr, "#32770", caption); dialog != nullptr;
         dialog = FindWindowExA(nullptr, dialog, "#32770", caption)) {
      DWORD process = 0;
      GetWindowThreadProcessId(dialog, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(dialog)) return dialog;
    }
    Sleep(25);
  }
  return nullptr;
}

void Choose(HWND dialog, int id, const char* text) {
  const bool combo = id == IDC_PDH_OBJECT;
  HWND control = GetDlgItem(dialog, id);
  const LRESULT index = SendMessageA(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(text));
  ASSERT_GE(index, 0) << text;
  SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
}

std::string ControlText(HWND dialog, int id) {
  std::array<char, 256> text{};
  GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
  return text.data();
}

struct Seen {
  HWND dialog = nullptr;
  HWND owner = nullptr;
  std::string explain;
  std::string value;
  bool ownerDisabled = false;
};

class PdhBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Pdh().module, nullptr);
    owner = CreateWindowA("STATIC", "browser owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                          nullptr);
    ASSERT_NE(owner, nullptr);
    config = PDH_BROWSE_DLG_CONFIG_A{};
    // As the meter asks: one counter, local counters only, no machine choice.
    config.bSingleCounterPerDialog = 1;
    config.bLocalCountersOnly = 1;
    config.bDisableMachineSelection = 1;
    config.hWndOwner = owner;
    config.szReturnPathBuffer = buffer.data();
    config.cchReturnPathLength = static_cast<DWORD>(buffer.size());
    config.dwDefaultDetailLevel = PERF_DETAIL_WIZARD;
    config.szDialogBoxCaption = const_cast<char*>(kCaption);
  }
  void TearDown() override { DestroyWindow(owner); }

  // Runs the browser with a user acting on it from another thread.
  PDH_STATUS Browse(const std::function<void(HWND)>& user) {
    std::thread driver([this, &user] {
      seen.dialog = WaitForBrowser(kCaption);
      if (seen.dialog == nullptr) return;
      seen.owner = GetWindow(seen.dialog, GW_OWNER);
      seen.ownerDisabled = !IsWindowEnabled(owner);
      user(seen.dialog);
    });
    const PDH_STATUS status = Pdh().browseCounters(&config);
    driver.join();
    return status;
  }

  HWND owner = nullptr;
  std::array<char, 260> buffer{};
  PDH_BROWSE_DLG_CONFIG_A config{};
  Seen seen;
};

TEST_F(PdhBrowser, ChoosingObjectCounterAndInstanceReturnsTheirPath) {
  const PDH_STATUS status = Browse([this](HWND dialog) {
    Choose(dialog, IDC_PDH_OBJECT, "Processor");
    Choose(dialog, IDC_PDH_COUNTERS, "% User Time");
    Choose(dialog, IDC_PDH_INSTANCES, "0");
    seen.explain = ControlText(dialog, IDC_PDH_EXPLAIN);
    Sleep(1200);  // the value shows after the browser's second sample
    seen.value = ControlText(dialog, IDC_PDH_VALUE);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  });
  ASSERT_NE(seen.dialog, nullptr) << "the browser did not show";
  EXPECT_EQ(status, ERROR_SUCCESS);
  EXPECT_STREQ(buffer.data(), "\\Processor(0)\\% User Time");
  EXPECT_EQ(seen.owner, owner);
  EXPECT_TRUE(seen.ownerDisabled) << "the browser is modal to its owner";
  EXPECT_NE(seen.explain.find("user mode"), std::string::npos) << seen.explain;
  EXPECT_EQ(seen.value.rfind("Current value: ", 0), 0u) << seen.value;
  EXPECT_EQ(seen.value.find("not available"), std::string::npos) << seen.value;
  EXPECT_EQ(seen.value.find("waiting"), std::string::npos) << seen.value;
  EXPECT_FALSE(IsWindow(seen.dialog));
}

TEST_F(PdhBrowser, AnObjectWithoutInstancesGivesAPathWithout) {
  const PDH_STATUS status = Browse([](HWND dialog) {
    Choose(dialog, IDC_PDH_OBJECT, "Memory");
    Choose(dialog, IDC_PDH_COUNTERS, "Committed Bytes");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(status, ERROR_SUCCESS);
  EXPECT_STREQ(buffer.data(), "\\Memory\\Committed Bytes");
}

TEST_F(PdhBrowser, CancelReturnsCancelledAndLeavesTheBuffer) {
  std::strcpy(buffer.data(), "untouched");
  const PDH_STATUS status = Browse([](HWND dialog) {
    Choose(dialog, IDC_PDH_OBJECT, "System");
    SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_DIALOG_CANCELLED));
  EXPECT_STREQ(buffer.data(), "untouched");
}

TEST_F(PdhBrowser, APathThatDoesNotFitIsMoreData) {
  // "\Memory\Committed Bytes" needs 24 characters with its zero.
  config.cchReturnPathLength = 23;
  std::strcpy(buffer.data(), "untouched");
  const PDH_STATUS status = Browse([](HWND dialog) {
    Choose(dialog, IDC_PDH_OBJECT, "Memory");
    Choose(dialog, IDC_PDH_COUNTERS, "Committed Bytes");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_MORE_DATA));
  EXPECT_STREQ(buffer.data(), "untouched");
}

TEST_F(PdhBrowser, StartsAtTheGivenPathAndNamesTheMachineWhenAsked) {
  std::strcpy(buffer.data(), "\\System\\Threads");
  config.bInitializePath = 1;
  config.bLocalCountersOnly = 0;
  const PDH_STATUS status = Browse([this](HWND dialog) {
    seen.explain = ControlText(dialog, IDC_PDH_EXPLAIN);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(status, ERROR_SUCCESS);
  char machine[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = sizeof(machine);
  ASSERT_TRUE(GetComputerNameA(machine, &length));
  EXPECT_EQ(std::string(buffer.data()), std::string("\\\\") + machine + "\\System\\Threads");
  EXPECT_NE(seen.explain.find("threads"), std::string::npos) << seen.explain;
}

int browserCalls = 0;

// A named function: the callback's calling convention is the platform's, which
// a lambda does not convert to in a 32-bit build.
PDH_STATUS CALLBACK CountBrowserCall(DWORD_PTR argument) {
  browserCalls += static_cast<int>(argument);
  return ERROR_SUCCESS;
}

TEST_F(PdhBrowser, SeveralCountersPerDialogMakeAListAndCallBack) {
  browserCalls = 0;
  config.bSingleCounterPerDialog = 0;
  config.pCallBack = CountBrowserCall;
  config.dwCallBackArg = 1;
  const PDH_STATUS status = Browse([](HWND dialog) {
    Choose(dialog, IDC_PDH_OBJECT, "System");
    Choose(dialog, IDC_PDH_COUNTERS, "Processes");
    SendMessageA(GetDlgItem(dialog, IDC_PDH_ADD), BM_CLICK, 0, 0);
    Choose(dialog, IDC_PDH_COUNTERS, "Threads");
    SendMessageA(GetDlgItem(dialog, IDC_PDH_ADD), BM_CLICK, 0, 0);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(status, ERROR_SUCCESS);
  EXPECT_EQ(browserCalls, 2);
  const char expected[] = "\\System\\Processes\0\\System\\Threads\0";
  EXPECT_EQ(std::memcmp(buffer.data(), expected, sizeof(expected)), 0);
}

}  // namespace
