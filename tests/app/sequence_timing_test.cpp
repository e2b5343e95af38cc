// The short test with the real pause and the real completion box, timed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/led_patterns.h"
#include "core/meter_io.h"
#include "tests/app/modal_script.h"

namespace {

constexpr int kFailingWrite = 5;  // five bytes held, then the sequence ends early

std::vector<double> writeTimesMs;
std::vector<int32_t> written;

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int32_t WriteLedByte(int32_t value) {
  writeTimesMs.push_back(NowMs());
  written.push_back(value);
  return static_cast<int>(written.size()) > kFailingWrite ? 1 : 0;
}

namespace {

struct BoxSeen {
  HWND owner = reinterpret_cast<HWND>(1);
  std::vector<std::string> texts;
  HICON icon = nullptr;
  bool hasCancel = true;
};

TEST(SequenceTimingTest, ShortTestHoldsEachByteForItsTimeAndEndsInTheInformationBox) {
  BoxSeen box;
  StartModalScript("Pipstack", {[&box](HWND window) {
                     box.owner = GetWindow(window, GW_OWNER);
                     box.texts = ChildTexts(window);
                     HWND child = GetWindow(window, GW_CHILD);
                     for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
                       if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                         box.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
                       }
                     }
                     box.hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
                     SendMessageA(window, WM_COMMAND, IDOK, 0);
                   }});
  RunShortTest();
  EXPECT_TRUE(ModalScriptSucceeded());
  StopModalScript();

  ASSERT_EQ(written.size(), static_cast<std::size_t>(kFailingWrite + 1));
  EXPECT_TRUE(std::equal(written.begin(), written.end(), kShortTestBytes.begin()));
  for (int i = 1; i <= kFailingWrite; ++i) {
    const double gap = writeTimesMs[i] - writeTimesMs[i - 1];
    EXPECT_GE(gap, 245.0) << "hold before write " << i;
    EXPECT_LT(gap, 450.0) << "hold before write " << i;
  }
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_NE(std::find(box.texts.begin(), box.texts.end(), "Short test complete!"), box.texts.end());
  EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_INFORMATION));
  EXPECT_FALSE(box.hasCancel) << "the box has an OK button only";
}

}  // namespace
