// The live values of the configuration dialog over scripted readings: what
// each row says and shows, when it is read, and that reading for the dialog
// leaves the meter alone.
#include <string>
#include <vector>

#include "app/live_values_win.h"
#include "app/resources/resource_ids.h"
#include "core/led_update.h"
#include "tests/app/config_fixture.h"

namespace {

class LiveValuesTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    ConfigDialogTest::SetUp();
    SetMeterOptions(kInterpolationOff, 40);
    for (int32_t i = 0; i < kLedCount; ++i) SetLedRange(i, 0, 100);
    SetLedRange(1, 50, 100);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int32_t i = 0; i < kLedCount; ++i) rows.push_back(Text(IDC_CONFIG_LIVE_VALUE_1 + i));
    return rows;
  }
  // Handles this thread's messages, timers included, for the given time.
  static void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
      DrainQueue();
      Sleep(10);
    }
  }
  // The colour at the middle of the LED disc the dialog draws for a row.
  COLORREF DiscColour(int32_t index) const {
    const HWND control = Item(IDC_CONFIG_LIVE_VALUE_1 + index);
    RECT rect;
    GetClientRect(control, &rect);
    HDC screen = GetDC(control);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // As the control hands it over: its font selected.
    SelectObject(memory, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = static_cast<UINT>(IDC_CONFIG_LIVE_VALUE_1 + index);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = control;
    item.hDC = memory;
    item.rcItem = rect;
    SendMessageA(dialog, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    TEXTMETRICA metrics{};
    GetTextMetricsA(memory, &metrics);
    const int size = metrics.tmAscent - metrics.tmInternalLeading + 1;
    const COLORREF colour = GetPixel(memory, 1 + size / 2, rect.bottom / 2);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(control, screen);
    return colour;
  }
};

TEST_F(LiveValuesTest, RowsShowEachValueAndItsWindowAndADashForAFailedRead) {
  sources.readings = {
      {{45, true}, {45, true}, {99, false}, {-3, true}, {100, true}, {101, true}, {0, true}, {7, true}}};
  SetLastSample(17);
  Show();
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"45 lit", "45 dark", "-", "-3 dark", "100 lit", "101 dark", "0 lit", "7 lit"}));
  EXPECT_EQ(sources.displayReads, 1);
  // Drawn as they read: a lit LED, a dark one, none without a value.
  EXPECT_EQ(DiscColour(0), RGB(0x20, 0xD0, 0x20));
  EXPECT_EQ(DiscColour(1), RGB(0x40, 0x48, 0x40));
  EXPECT_EQ(DiscColour(2), GetSysColor(COLOR_BTNFACE));

  // The failed read showed no box and ended nothing; the meter was not run.
  EXPECT_EQ(FindThreadWindow("Pipstack"), nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsQuitRequested());
  EXPECT_TRUE(fakes.writes.empty());
  EXPECT_EQ(fakes.sampleAllCalls, 0);
  EXPECT_TRUE(fakes.sampleOneIndexes.empty());
  EXPECT_EQ(LastSample(), 17);
  EXPECT_FALSE(LastMeterFrame().written);
}

TEST_F(LiveValuesTest, WindowAndInterpolationChangesShowAtOnceFromTheSameReading) {
  sources.readings = {{{45, true}, {45, true}, {99, false}, {60, true}, {5, true}, {5, true}, {5, true}, {5, true}}};
  Show();
  ASSERT_EQ(Text(IDC_CONFIG_LIVE_VALUE_2), "45 dark");
  SetDlgItemTextA(dialog, IDC_CONFIG_FLOOR_2, "40");  // as typed: the edit reports the change
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_2), "45 lit");
  SetDlgItemTextA(dialog, IDC_CONFIG_CEILING_4, "44");
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_4), "60 dark");

  // Interpolation on LED 1: every LED is compared with LED 1's value.
  Click(IDC_CONFIG_INTERPOLATE);
  ASSERT_EQ(Options().interpolationLed, 0);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"45 lit", "45 lit", "45 lit", "45 dark", "45 lit", "45 lit", "45 lit",
                                              "45 lit"}));
  EXPECT_EQ(sources.displayReads, 1) << "no new reading for a change of window";
}

TEST_F(LiveValuesTest, ReadAboutEverySecondWhileShownAndAtOnceAfterASourceChange) {
  sources.readings.fill({1, true});
  Show();
  sources.readings.fill({2, true});
  PumpFor(1300);
  EXPECT_EQ(sources.displayReads, 2);
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_8), "2 lit");

  sources.pdhAvailable = 1;
  sources.pathAfterBrowse = "\\System\\Processes";
  sources.readings[2] = {60, true};
  Click(IDC_CONFIG_SOURCE_BUTTON_3);
  EXPECT_EQ(sources.displayReads, 3);
  EXPECT_EQ(Text(IDC_CONFIG_LIVE_VALUE_3), "60 lit");

  Click(IDC_CONFIG_CLOSE);
  PumpFor(1300);
  EXPECT_EQ(sources.displayReads, 3) << "read while hidden";
}

}  // namespace
