// An emulated FTDI device's frame: the mode, whether it is plugged and
// open, the last write, and their narrow forms. (The process test reads a
// whole frame.)
#include "tools/ledview/ftdi_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "port/d2xx_constants.h"

namespace {

FtdiState Board() {
  return FtdiState{"A50285BI", "Pipstack LEDs", true, true, 1234, kFtBitModeAsyncBitBang, 0xFF, 0xA5, true, 37};
}

std::string Rendered(const FtdiState& state, int columns) {
  return FrameText(RenderFrame(FtdiFrame(state), columns, 40));
}

TEST(FtdiFrameTest, ModeDeviceAndWriteLinesFollowTheState) {
  const struct {
    const char* what;
    bool plugged;
    bool open;
    uint32_t opener;
    uint8_t mode;
    uint8_t mask;
    bool written;
    const char* wide;    // the mode, device and write lines
    const char* narrow;  // the same in a narrow terminal
  } rows[] = {
      {"at plug-in", true, false, 0, kFtBitModeReset, 0x00, false,
       "mode     UART mode\ndevice   plugged, not open\nlast write  none seen\n", "M UART\nS closed\nW none seen\n"},
      {"sync bit-bang", true, true, 77, kFtBitModeSyncBitBang, 0x0F, true,
       "mode     sync bit-bang, mask 0x0F\ndevice   plugged, open by process 77\nlast write  2.5 s ago\n",
       "M sync 0x0F\nS open 77\nW 2.5 s ago\n"},
      {"held from outside", true, true, 0, kFtBitModeAsyncBitBang, 0xF0, true,
       "mode     async bit-bang, mask 0xF0\ndevice   plugged, open elsewhere\nlast write  2.5 s ago\n",
       "M async 0xF0\nS open\nW 2.5 s ago\n"},
      {"unplugged", false, false, 0, kFtBitModeAsyncBitBang, 0xFF, true,
       "mode     none, no power\ndevice   unplugged\nlast write  2.5 s ago\n", "M -\nS unplugged\nW 2.5 s ago\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FtdiState state = Board();
    state.plugged = row.plugged;
    state.open = row.open;
    state.openerProcessId = row.opener;
    state.bitMode = row.mode;
    state.mask = row.mask;
    state.written = row.written;
    state.writeAgeMs = 2500;
    const std::string wide = Rendered(state, 79);
    EXPECT_EQ(wide.substr(wide.find("mode ")), row.wide);
    const std::string narrow = Rendered(state, 20);
    EXPECT_EQ(narrow.substr(narrow.find("M ")), row.narrow);
    EXPECT_EQ(narrow.substr(0, narrow.find('\n')), "FTDI A50285BI");
    EXPECT_NE(narrow.find("P 0xA5 10100101\n"), std::string::npos) << narrow;
  }
}

}  // namespace
