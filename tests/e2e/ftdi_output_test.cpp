// pipstack.exe driving an FTDI breakout in bit-bang mode: our ftd2xx.dll and
// its emulated FT232R devices (an LED board described "Pipstack LEDs", and
// an ordinary serial cable that must never be touched) beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/ftdi/virtual_ftdi_view_win.h"
#include "tests/e2e/program_fixture.h"

namespace {

constexpr uint8_t kMeterByte = 0x1F;  // 45 lies in the windows of LEDs 1 to 5
constexpr uint32_t kComebackMs = 2000;

class FtdiOutputTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_EQ(OpenVirtualFtdi(kVirtualFtdiCreate, &ftdi), kVirtualFtdiOk);
    PowerOnVirtualFtdi(ftdi);
    journalStart = FtdiJournalTotal(ftdi);
  }
  void TearDown() override {
    ProgramTest::TearDown();
    CloseVirtualFtdi(&ftdi);
  }
  FtdiDeviceSnapshot Board() const { return PeekFtdiDevice(ftdi, kFtdiLedBoardSlot); }
  bool WaitForPins(uint8_t pins, DWORD milliseconds) const {
    for (const DWORD start = GetTickCount(); GetTickCount() - start <= milliseconds; Sleep(20)) {
      if (Board().device.pins == pins) return true;
    }
    return false;
  }
  // The calls a process made, in order, since the test began.
  std::vector<FtdiJournalEntry> CallsOf(DWORD processId) const {
    std::vector<FtdiJournalEntry> calls;
    for (const FtdiJournalEntry& e : ReadFtdiJournal(ftdi, journalStart)) {
      if (e.processId == processId) calls.push_back(e);
    }
    return calls;
  }
  std::vector<uint32_t> WrittenBytes(DWORD processId) const {
    std::vector<uint32_t> bytes;
    for (const FtdiJournalEntry& e : CallsOf(processId)) {
      if (e.kind == kFtdiJournalWrite && e.status == kFtOk) bytes.push_back(e.value);
    }
    return bytes;
  }
  // The board: dark, closed, still in bit-bang mode; the cable never reached.
  void ExpectLeftDark() const {
    const FtdiDeviceSnapshot board = Board();
    EXPECT_EQ(board.device.pins, 0);
    EXPECT_FALSE(board.open) << "the device was left open";
    EXPECT_EQ(board.device.bitMode, kFtBitModeAsyncBitBang) << "leaving bit-bang mode lights LEDs";
    // Listing names it; nothing else may reach it.
    for (const FtdiJournalEntry& e : CallsOf(program.Id())) {
      const bool listing = e.kind == kFtdiJournalCreateList || e.kind == kFtdiJournalGetDetail;
      if (!listing) {
        EXPECT_NE(e.slot, kFtdiCableSlot) << "the serial cable was reached, call " << e.kind;
      }
    }
  }

  // The short test from the dialog reaches the pins as on a parallel port.
  void ExpectShortTestOnThePins() {
    ASSERT_TRUE(StartProgram(&second, StageFolder("ftdi"), ""));
    HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
    ASSERT_NE(dialog, nullptr);
    Sleep(200);  // an update cycle under way when the request came may finish
    const size_t before = WrittenBytes(program.Id()).size();
    HWND tests = OpenTestSequences(dialog);
    ASSERT_NE(tests, nullptr);
    PlayShortTest(tests);
    const std::vector<uint32_t> written = WrittenBytes(program.Id());
    const std::vector<int32_t> played(written.begin() + static_cast<std::ptrdiff_t>(before), written.end());
    EXPECT_EQ(played, kShortTestPattern);
  }

  VirtualFtdiView ftdi{};
  uint64_t journalStart = 0;
};

TEST_F(FtdiOutputTest, NamedDeviceShowsTheMeterAndTheTestsAndQuitLeavesItDarkInBitBangMode) {
  struct Row {
    const char* argument;
    const char* stage;
  };
  std::vector<Row> rows = {{"FTDI:A50285BI", "ftdi"}, {"ftdi", "ftdi"}};
  // FTDI's zip names the 64-bit library ftd2xx64.dll.
  if (sizeof(void*) == 8) rows.push_back({"FTDI:A50285BI", "ftdi64"});
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.argument) + " from " + row.stage);
    PowerOnVirtualFtdi(ftdi);
    journalStart = FtdiJournalTotal(ftdi);
    Start(row.argument, row.stage);
    ASSERT_TRUE(WaitForPins(kMeterByte, kStartMs)) << "the meter's byte never reached the pins";
    // Bit-bang mode, all eight lines out, dark first.
    const std::vector<FtdiJournalEntry> calls = CallsOf(program.Id());
    const auto bitBang = std::find_if(calls.begin(), calls.end(), [](const FtdiJournalEntry& e) {
      return e.kind == kFtdiJournalSetBitMode && e.status == kFtOk;
    });
    ASSERT_NE(bitBang, calls.end());
    EXPECT_EQ(bitBang->value, kFtBitModeAsyncBitBang);
    EXPECT_EQ(bitBang->detail, 0xFFu);
    ASSERT_FALSE(WrittenBytes(program.Id()).empty());
    EXPECT_EQ(WrittenBytes(program.Id()).front(), 0u);
    EXPECT_TRUE(Journal().empty()) << "the parallel port was touched";
    if (&row == &rows.front()) ExpectShortTestOnThePins();
    Quit();
    ExpectLeftDark();
  }
}

TEST_F(FtdiOutputTest, WithNothingNamedThePipstackDeviceIsFoundAndTheCableLeftAlone) {
  PlugVirtualFtdi(ftdi, kFtdiCableSlot, true);  // listed first
  Start("", "ftdi");
  ASSERT_TRUE(WaitForPins(kMeterByte, kStartMs)) << "the Pipstack device was not found";
  EXPECT_EQ(PeekFtdiDevice(ftdi, kFtdiCableSlot).device.bitMode, kFtBitModeReset);
  Quit();
  ExpectLeftDark();
}

TEST_F(FtdiOutputTest, ADeviceThatCannotBeUsedEndsTheStartAndNothingIsWritten) {
  const struct {
    const char* what;
    const char* argument;
    const char* stage;
    void (*knob)(const VirtualFtdiView&, int, bool);
    const char* message;
  } rows[] = {
      {"unknown serial number", "FTDI:A50285BJ", "ftdi", nullptr,
       "Could not use FTDI device A50285BJ: it is not connected."},
      {"refuses bit-bang", "FTDI:A50285BI", "ftdi", SetFtdiRefusesBitBang,
       "Could not use FTDI device A50285BI: it refused bit-bang mode."},
      // The library does not say which device is open elsewhere.
      {"open elsewhere", "FTDI:A50285BI", "ftdi", SetFtdiOpenElsewhere,
       "Could not use FTDI device A50285BI: it is not connected, or another program has it open."},
      {"the first device, open elsewhere", "FTDI", "ftdi", SetFtdiOpenElsewhere,
       "Could not use an FTDI device: another program has it open."},
      {"library without FT_Write", "FTDI:A50285BI", "ftdi_no_write", nullptr,
       "Could not use FTDI device A50285BI: ftd2xx.dll has no FT_Write."},
      {"no library", "FTDI", "pdh", nullptr,
       "Could not use an FTDI device: FTDI's library ftd2xx.dll is not installed."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    PowerOnVirtualFtdi(ftdi);
    journalStart = FtdiJournalTotal(ftdi);
    if (row.knob != nullptr) row.knob(ftdi, kFtdiLedBoardSlot, true);
    Program run;
    ASSERT_TRUE(StartProgram(&run, StageFolder(row.stage), row.argument));
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(run, kStartMs, &box), row.message);
    if (box != nullptr) DismissMessageBox(box);
    ExpectCleanExit(run);
    for (const FtdiJournalEntry& e : CallsOf(run.Id())) {
      EXPECT_NE(e.kind, kFtdiJournalWrite) << "written to slot " << static_cast<int>(e.slot);
    }
    EXPECT_NE(Board().device.bitMode, kFtBitModeAsyncBitBang);
  }
}

TEST_F(FtdiOutputTest, UnpluggedTheMeterGoesOnAndTheLedsComeBackWithTheDevice) {
  Start("FTDI:A50285BI", "ftdi");
  ASSERT_TRUE(WaitForPins(kMeterByte, kStartMs));
  PlugVirtualFtdi(ftdi, kFtdiLedBoardSlot, false);
  Sleep(1000);
  EXPECT_EQ(WaitForMessageBox(program, 200, nullptr), "") << "an unplug is no failure";
  EXPECT_FALSE(program.WaitForExit(0)) << "the meter ended";
  PlugVirtualFtdi(ftdi, kFtdiLedBoardSlot, true);
  EXPECT_TRUE(WaitForPins(kMeterByte, kComebackMs)) << "the LEDs did not come back in time";
  Quit();
  ExpectLeftDark();
}

}  // namespace
