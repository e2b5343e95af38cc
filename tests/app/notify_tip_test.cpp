// The notification icon's tooltip: the port and the eight values, always
// within the 127 characters the tooltip holds.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/notify_tip.h"

namespace {

TEST(NotifyTipTest, PortLabelNamesThePortAndItsAddress) {
  EXPECT_EQ(PortLabel("LPT1", 0x378, false), "LPT1 (0x378)");
  EXPECT_EQ(PortLabel("0xD010", 0xD010, false), "0xD010");
  EXPECT_EQ(PortLabel("", 0x3BC, false), "0x3BC");
  EXPECT_EQ(PortLabel("LPT1", 0x378, true), "LPT1 (0x378), virtual port");
  EXPECT_EQ(PortLabel("0xD010", 0xD010, true), "0xD010, virtual port");
}

TEST(NotifyTipTest, TipsNameThePortThePauseAndTheValuesAndFit) {
  const MeterFrame none{};
  const MeterFrame some{{5, 15, 25, 35, 45, 60, 75, -1}, kNoLeds, 0, true};
  const MeterFrame dark{{5, 15, 25, 35, 45, 60, 75, -1}, LedBit(1) | LedBit(7), 0, true};
  MeterFrame widest{{}, kNoLeds, 0, true};
  widest.values.fill(INT32_MIN);
  const std::string all = " -2147483648 -2147483648 -2147483648 -2147483648";
  const struct {
    std::string port;
    MeterFrame frame;
    bool paused;
    std::string tip;
    bool connected = true;
  } rows[] = {
      {"LPT1 (0x378)", none, false, "Pipstack on LPT1 (0x378)"},
      {"LPT1 (0x378)", some, true, "Pipstack on LPT1 (0x378) - paused\nLEDs 1-8: 5 15 25 35 45 60 75 -1"},
      // An LED without a value shows a dash.
      {"LPT1 (0x378)", dark, false, "Pipstack on LPT1 (0x378)\nLEDs 1-8: 5 - 25 35 45 60 75 -"},
      // Too long: the program's name goes first, then values from the end.
      {"LPT1 (0x378)", widest, true, "LPT1 (0x378) - paused\nLEDs 1-8:" + all + all},
      {"LPT1 (0x378) on the bench", widest, true,
       "LPT1 (0x378) on the bench - paused\nLEDs 1-8:" + all + " -2147483648 -2147483648 ..."},
      {std::string(200, 'P'), widest, false, std::string(kNotifyTipLimit, 'P')},
      // A USB output: named as it is, and said when its device is away.
      {"Pipstack LED controller on COM5", some, false,
       "Pipstack LED controller on COM5 - not connected\nLEDs 1-8: 5 15 25 35 45 60 75 -1", false},
      {"FTDI FT232R A50285BI", none, true, "Pipstack on FTDI FT232R A50285BI - not connected - paused", false},
  };
  for (const auto& row : rows) {
    const std::string tip = FormatNotifyTip(row.port, row.frame, row.paused, row.connected);
    EXPECT_EQ(tip, row.tip);
    EXPECT_LE(tip.size(), kNotifyTipLimit);
  }
}

}  // namespace
