// The viewer's command line.
#include "tools/ledview/viewer_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ViewerOptionsTest, PortAndModeFromTheCommandLine) {
  const struct {
    std::vector<const char*> arguments;
    int32_t status;
    ViewerOptions options;
  } rows[] = {
      {{}, kOptionsOk, {0, false, false}},
      {{"--once"}, kOptionsOk, {0, true, false}},
      {{"LPT2"}, kOptionsOk, {1, false, false}},
      {{"lpt2", "--once"}, kOptionsOk, {1, true, false}},
      {{"--ONCE", "LpT1"}, kOptionsOk, {0, true, false}},
      {{"2"}, kOptionsOk, {1, false, false}},
      {{"0xD010"}, kOptionsOk, {2, false, false}},  // the card, by its address only
      {{"--once", "0Xd010"}, kOptionsOk, {2, true, false}},
      {{"0x378"}, kOptionsOk, {0, false, false}},
      {{"0x3BC"}, kOptionsBadPort, {}},  // no emulated port there
      {{"0xD011"}, kOptionsBadPort, {}},
      {{"0xD010x"}, kOptionsBadPort, {}},
      {{"3"}, kOptionsBadPort, {}},
      {{"--help"}, kOptionsOk, {0, false, true}},
      {{"/?"}, kOptionsOk, {0, false, true}},
      {{"-h", "LPT2"}, kOptionsOk, {1, false, true}},
      {{"LPT3"}, kOptionsBadPort, {}},  // the machine has two ports
      {{"LPT0"}, kOptionsBadPort, {}},
      {{"LPT12"}, kOptionsBadPort, {}},
      {{"COM1"}, kOptionsBadPort, {}},
      {{""}, kOptionsBadPort, {}},
      {{"LPT1", "LPT2"}, kOptionsTwoPorts, {}},
      {{"--fast"}, kOptionsUnknown, {}},
      {{"-once"}, kOptionsUnknown, {}},
  };
  for (const auto& row : rows) {
    std::vector<const char*> argv = {"ledview"};
    argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
    ViewerOptions options{9, true, true};
    const int32_t status = ParseViewerOptions(static_cast<int>(argv.size()), argv.data(), &options);
    SCOPED_TRACE(testing::Message() << "argument count " << row.arguments.size()
                                    << (row.arguments.empty() ? "" : " first ")
                                    << (row.arguments.empty() ? "" : row.arguments[0]));
    EXPECT_EQ(status, row.status);
    if (status == kOptionsOk) {
      EXPECT_EQ(options.portIndex, row.options.portIndex);
      EXPECT_EQ(options.once, row.options.once);
      EXPECT_EQ(options.help, row.options.help);
    }
  }
}

}  // namespace
