// The viewer's command line.
#include "tools/ledview/viewer_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "emulation/ftdi/ftdi_machine.h"

namespace {

TEST(ViewerOptionsTest, PortAndModeFromTheCommandLine) {
  const struct {
    std::vector<const char*> arguments;
    int32_t status;
    ViewerOptions options;
  } rows[] = {
      {{}, kOptionsOk, {0, false, false, kViewParallel, 0, 0}},
      {{"--once"}, kOptionsOk, {0, true, false, kViewParallel, 0, 0}},
      {{"LPT2"}, kOptionsOk, {1, false, false, kViewParallel, 0, 0}},
      {{"lpt2", "--once"}, kOptionsOk, {1, true, false, kViewParallel, 0, 0}},
      {{"--ONCE", "LpT1"}, kOptionsOk, {0, true, false, kViewParallel, 0, 0}},
      {{"2"}, kOptionsOk, {1, false, false, kViewParallel, 0, 0}},
      {{"0xD010"}, kOptionsOk, {2, false, false, kViewParallel, 0, 0}},  // the card, by its address only
      {{"--once", "0Xd010"}, kOptionsOk, {2, true, false, kViewParallel, 0, 0}},
      {{"0x378"}, kOptionsOk, {0, false, false, kViewParallel, 0, 0}},
      {{"0x3BC"}, kOptionsBadPort, {}},  // no emulated port there
      {{"0xD011"}, kOptionsBadPort, {}},
      {{"0xD010x"}, kOptionsBadPort, {}},
      {{"3"}, kOptionsBadPort, {}},
      {{"--help"}, kOptionsOk, {0, false, true, kViewParallel, 0, 0}},
      {{"/?"}, kOptionsOk, {0, false, true, kViewParallel, 0, 0}},
      {{"-h", "LPT2"}, kOptionsOk, {1, false, true, kViewParallel, 0, 0}},
      {{"LPT3"}, kOptionsBadPort, {}},  // the machine has two ports
      {{"LPT0"}, kOptionsBadPort, {}},
      {{"LPT12"}, kOptionsBadPort, {}},
      {{"FTDI"}, kOptionsOk, {0, false, false, kViewFtdi, kFtdiLedBoardSlot, 0}},
      {{"ftdi", "--once"}, kOptionsOk, {0, true, false, kViewFtdi, kFtdiLedBoardSlot, 0}},
      {{"FTDI:A10K7T3X"}, kOptionsOk, {0, false, false, kViewFtdi, kFtdiCableSlot, 0}},
      {{"Ftdi:a50285bi"}, kOptionsOk, {0, false, false, kViewFtdi, kFtdiLedBoardSlot, 0}},
      {{"FTDI:"}, kOptionsBadPort, {}},
      {{"FTDI:A10K7T3"}, kOptionsBadPort, {}},  // whole serial numbers only
      {{"FTDI:A10K7T3XY"}, kOptionsBadPort, {}},
      {{"FTDI1"}, kOptionsBadPort, {}},
      {{"COM1"}, kOptionsOk, {0, false, false, kViewBoard, 0, 1}},
      {{"com7", "--once"}, kOptionsOk, {0, true, false, kViewBoard, 0, 7}},
      {{"COM12:"}, kOptionsOk, {0, false, false, kViewBoard, 0, 12}},
      {{"COM255"}, kOptionsOk, {0, false, false, kViewBoard, 0, 255}},
      {{"COM0"}, kOptionsBadPort, {}},
      {{"COM"}, kOptionsBadPort, {}},
      {{"COM1000"}, kOptionsBadPort, {}},
      {{"COM7::"}, kOptionsBadPort, {}},
      {{"COM7x"}, kOptionsBadPort, {}},
      {{"COM 7"}, kOptionsBadPort, {}},
      {{"FTDI", "COM7"}, kOptionsTwoPorts, {}},
      {{""}, kOptionsBadPort, {}},
      {{"LPT1", "LPT2"}, kOptionsTwoPorts, {}},
      {{"--fast"}, kOptionsUnknown, {}},
      {{"-once"}, kOptionsUnknown, {}},
  };
  for (const auto& row : rows) {
    std::vector<const char*> argv = {"ledview"};
    argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
    ViewerOptions options{9, true, true, kViewBoard, 9, 9};
    const int32_t status = ParseViewerOptions(static_cast<int>(argv.size()), argv.data(), &options);
    SCOPED_TRACE(testing::Message() << "argument count " << row.arguments.size()
                                    << (row.arguments.empty() ? "" : " first ")
                                    << (row.arguments.empty() ? "" : row.arguments[0]));
    EXPECT_EQ(status, row.status);
    if (status == kOptionsOk) {
      EXPECT_EQ(options.portIndex, row.options.portIndex);
      EXPECT_EQ(options.once, row.options.once);
      EXPECT_EQ(options.help, row.options.help);
      EXPECT_EQ(options.output, row.options.output);
      if (options.output == kViewFtdi) {
        EXPECT_EQ(options.ftdiSlot, row.options.ftdiSlot);
      }
      if (options.output == kViewBoard) {
        EXPECT_EQ(options.comNumber, row.options.comNumber);
      }
    }
  }
}

}  // namespace
