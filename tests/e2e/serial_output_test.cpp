// pipstack.exe driving the Pipstack LED controller: the real firmware on the
// simulated board behind the session's COM ports, and serial devices that
// are no LED controller beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/fake_notification_area.h"
#include "tests/e2e/program_fixture.h"
#include "tests/e2e/serial_device.h"

namespace {

constexpr int32_t kMeterByte = 0x1F;  // 45 lies in the windows of LEDs 1 to 5
// A device that comes back shows the meter's byte again within this.
constexpr uint32_t kComebackMs = 2000;

// Every line heard is the question.
bool OnlyQuestions(const std::string& heard) {
  if (heard.empty()) return false;
  for (size_t at = 0; at < heard.size(); at += 2) {
    if (heard.compare(at, 2, "?\n") != 0) return false;
  }
  return true;
}

using SerialOutputTest = ProgramTest;

TEST_F(SerialOutputTest, NamedControllerShowsTheMeterAndTheTestsAndQuitLeavesItDark) {
  SerialDevice board(7);
  ASSERT_TRUE(board.StartBoard());
  Start("com7");
  ASSERT_TRUE(board.WaitForPins(kMeterByte, kStartMs)) << "the meter's byte never reached the pins";
  EXPECT_TRUE(Journal().empty()) << "the parallel port was touched";

  // The short test from the dialog reaches the pins as on a parallel port.
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), ""));
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
  ASSERT_NE(dialog, nullptr);
  const size_t before = board.Pins().size();
  HWND tests = OpenTestSequences(dialog);
  ASSERT_NE(tests, nullptr);
  PlayShortTest(tests);
  std::vector<int32_t> shown;
  const std::vector<LedChange> pins = board.Pins();
  for (size_t i = before; i < pins.size(); ++i) shown.push_back(pins[i].byte);
  // Each byte held a quarter of a second: every change of the pattern shows.
  EXPECT_EQ(shown, kShortTestPattern);
  PostMessageA(tests, WM_COMMAND, MAKEWPARAM(kTestCloseButton, BN_CLICKED), 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCloseButton, BN_CLICKED), 0);
  EXPECT_TRUE(board.WaitForPins(kMeterByte, kStartMs)) << "no meter after Close";

  Quit();
  EXPECT_TRUE(board.WaitForPins(0, kComebackMs)) << "the LEDs are left lit";
}

TEST_F(SerialOutputTest, WithNothingNamedTheControllerIsFoundAmongPortsThatAreNotOne) {
  SerialDevice silent(7);
  SerialDevice modem(8);
  SerialDevice board(9);
  ASSERT_TRUE(silent.StartPeer(""));
  ASSERT_TRUE(modem.StartPeer("OK"));
  ASSERT_TRUE(board.StartBoard());
  Start("");
  ASSERT_TRUE(board.WaitForPins(kMeterByte, kStartMs)) << "the controller on COM9 was not found";
  Quit();
  EXPECT_TRUE(OnlyQuestions(silent.Heard())) << silent.Heard();
  EXPECT_TRUE(OnlyQuestions(modem.Heard())) << modem.Heard();
  EXPECT_TRUE(board.WaitForPins(0, kComebackMs));
}

// The tooltip names the controller, and says while it is away.
bool TipSays(const FakeNotificationArea& area, const std::string& text) {
  return area.ShownTip().find(text) != std::string::npos;
}

TEST_F(SerialOutputTest, UnpluggedTheMeterGoesOnAndThePinsComeBackWithTheController) {
  constexpr char kName[] = "Pipstack LED controller on COM7";
  FakeNotificationArea area(kName);
  ASSERT_TRUE(area.Ready());
  SerialDevice board(7);
  ASSERT_TRUE(board.StartBoard());
  Start("COM7");
  ASSERT_TRUE(board.WaitForPins(kMeterByte, kStartMs));
  ASSERT_TRUE(board.Stop());
  EXPECT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return TipSays(a, " - not connected"); }, kStartMs))
      << area.ShownTip();
  EXPECT_EQ(WaitForMessageBox(program, 200, nullptr), "") << "an unplug is no failure";
  EXPECT_FALSE(program.WaitForExit(0)) << "the meter ended";

  ASSERT_TRUE(board.StartBoard());
  const int64_t plugged = UnixMilliseconds();
  ASSERT_TRUE(board.WaitForPins(kMeterByte, kComebackMs + 1000));
  EXPECT_LE(board.Pins().back().unixMs - plugged, kComebackMs) << "the LEDs came back late";
  EXPECT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return !TipSays(a, " - not connected"); }, kStartMs))
      << area.ShownTip();
  EXPECT_EQ(area.ShownTip().rfind(kName, 0), 0u) << area.ShownTip();
  Quit();
  EXPECT_TRUE(board.WaitForPins(0, kComebackMs));
}

TEST_F(SerialOutputTest, APortWithoutAControllerEndsTheStartAndHearsOnlyTheQuestion) {
  const struct {
    const char* what;
    bool peer;
    const char* answer;
    const char* message;
  } rows[] = {
      {"silent", true, "", "No Pipstack LED controller answered on COM8."},
      {"answers something else", true, "PIPSTACK LEDS 2", "No Pipstack LED controller answered on COM8."},
      {"nothing there", false, "", "Could not open COM8: the port is not there, or another program holds it."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SerialDevice peer(8);
    if (row.peer) {
      ASSERT_TRUE(peer.StartPeer(row.answer));
    }
    Program run;
    ASSERT_TRUE(StartProgram(&run, StageFolder("pdh"), "COM8"));
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(run, kStartMs, &box), row.message);
    if (box != nullptr) DismissMessageBox(box);
    ExpectCleanExit(run);
    if (row.peer) {
      EXPECT_TRUE(OnlyQuestions(peer.Heard())) << peer.Heard();
    }
    EXPECT_TRUE(EntriesOf(watch, run.Id()).empty()) << "the parallel port was touched";
  }
}

}  // namespace
