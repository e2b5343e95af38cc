// The notification icon's tooltip: the port and the eight values, always
// within the 127 characters the tooltip holds.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/notify_tip.h"

namespace {

MeterFrame Frame(LedValues values) { return MeterFrame{values, 0, true}; }

TEST(NotifyTipTest, PortLabelNamesThePortAndItsAddress) {
  EXPECT_EQ(PortLabel("LPT1", 0x378), "LPT1 (0x378)");
  EXPECT_EQ(PortLabel("lpt2:", 0x278), "lpt2: (0x278)");
  EXPECT_EQ(PortLabel("0xD010", 0xD010), "0xD010");
  EXPECT_EQ(PortLabel("", 0x3BC), "0x3BC");
}

TEST(NotifyTipTest, TipShowsThePortThePauseAndTheValues) {
  const struct {
    MeterFrame frame;
    bool paused;
    const char* tip;
  } rows[] = {
      {MeterFrame{}, false, "Pipstack on LPT1 (0x378)"},
      {Frame({5, 15, 25, 35, 45, 60, 75, 90}), false, "Pipstack on LPT1 (0x378)\nLEDs 1-8: 5 15 25 35 45 60 75 90"},
      {Frame({-1, 0, 0, 0, 0, 0, 0, 123456}), true,
       "Pipstack on LPT1 (0x378) - paused\nLEDs 1-8: -1 0 0 0 0 0 0 123456"},
  };
  for (const auto& row : rows) EXPECT_EQ(FormatNotifyTip("LPT1 (0x378)", row.frame, row.paused), row.tip);
}

TEST(NotifyTipTest, LongTipsGiveUpTheProgramNameThenValuesFromTheEnd) {
  LedValues widest{};
  widest.fill(INT32_MIN);
  // Every value still fits once the program's name goes.
  std::string values;
  for (int i = 0; i < 8; ++i) values += " -2147483648";
  const std::string all = FormatNotifyTip("LPT1 (0x378)", Frame(widest), true);
  EXPECT_EQ(all, "LPT1 (0x378) - paused\nLEDs 1-8:" + values);
  EXPECT_LE(all.size(), kNotifyTipLimit);

  // A longer port name: whole values only, then the cut mark.
  const std::string cut = FormatNotifyTip("LPT1 (0x378) on the bench", Frame(widest), true);
  EXPECT_LE(cut.size(), kNotifyTipLimit);
  EXPECT_EQ(cut.rfind("LPT1 (0x378) on the bench - paused\nLEDs 1-8: -2147483648", 0), 0u) << cut;
  EXPECT_EQ(cut.substr(cut.size() - 16), " -2147483648 ...") << cut;

  // A name longer than the whole tooltip is cut to it.
  EXPECT_EQ(FormatNotifyTip(std::string(200, 'P'), Frame(widest), false), std::string(kNotifyTipLimit, 'P'));
}

}  // namespace
