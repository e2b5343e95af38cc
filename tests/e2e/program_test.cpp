// pipstack.exe started for real under Wine, on the virtual port, with a fake
// pdh.dll of scripted values beside it; watched through the port's journal,
// the registry and its windows.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/fake_notification_area.h"
#include "tests/e2e/program_fixture.h"

namespace {

// The meter's notification icon's id.
constexpr UINT kIconId = 1;

// Changing nothing of an icon succeeds exactly when the area holds it.
bool IconInArea(HWND poll) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = poll;
  data.uID = kIconId;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool WaitForIcon(HWND poll, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!IconInArea(poll)) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(50);
  }
  return true;
}

TEST_F(ProgramTest, FirstRunCreatesTheDefaultsAndMetersEveryWriteDelay) {
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 12, kStartMs));
  EXPECT_EQ(CountSettingValues(), 26);
  EXPECT_EQ(StoredDword("LED 6 Floor"), 55);
  EXPECT_EQ(StoredDword("Interpolation"), -1);
  std::string path;
  EXPECT_TRUE(ReadSettingString("LED 8 Source", &path));
  EXPECT_EQ(path, kCpuPath);

  // The open sequence: BIOS word of LPT1, save ECR, data, control, then set
  // them up, in this order.
  const std::vector<JournalEntry> journal = Journal();
  ASSERT_GE(journal.size(), 8u);
  const struct {
    uint16_t kind;
    uint32_t address;
  } open[] = {{kJournalInitialize, 0},    {kJournalPhysicalRead, 0x408}, {kJournalPortRead, 0x77A},
              {kJournalPortRead, 0x378},  {kJournalPortRead, 0x37A},     {kJournalPortWrite, 0x77A},
              {kJournalPortWrite, 0x378}, {kJournalPortWrite, 0x37A}};
  for (size_t i = 0; i < std::size(open); ++i) {
    EXPECT_EQ(journal[i].kind, open[i].kind) << "step " << i;
    if (open[i].kind != kJournalInitialize) {
      EXPECT_EQ(journal[i].address, open[i].address) << "step " << i;
    }
  }
  EXPECT_EQ(journal[5].value, 0x35u & 0x1Fu);
  EXPECT_EQ(journal[6].value, 0u);
  EXPECT_EQ(journal[7].value, 0x0Bu);

  // 45 lies in the windows of LEDs 1 to 5 (floors 0..40, ceilings 100).
  const std::vector<JournalEntry> leds = LedWrites(journal, kLpt1);
  for (const JournalEntry& e : leds) EXPECT_EQ(e.value, 31u);
  std::vector<double> gaps;
  for (size_t i = 1; i < leds.size(); ++i) gaps.push_back(MillisecondsBetween(watch, leds[i - 1], leds[i]));
  std::sort(gaps.begin(), gaps.end());
  const double median = gaps[gaps.size() / 2];
  EXPECT_GT(median, 35.0);
  EXPECT_LT(median, 80.0);
  Quit();
  ExpectPortRestored();
}

TEST_F(ProgramTest, InterpolationFromTheRegistryGlidesToTheNewValue) {
  ASSERT_TRUE(WriteSettingDword("Interpolation", 0));
  ASSERT_TRUE(WriteSettingDword("Write Delay", 10));
  SetCounterValue(100);
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 16, kStartMs));
  const std::vector<int32_t> bytes = LedBytes();
  const std::vector<int32_t> glide(bytes.begin(), bytes.begin() + 8);
  EXPECT_EQ(glide, (std::vector<int32_t>{1, 3, 7, 15, 31, 63, 127, 127}));
  EXPECT_EQ(bytes[8], 255);
  Quit();
}

TEST_F(ProgramTest, SecondStartShowsTheDialogAndPausesTheMeter) {
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 3, kStartMs));
  ASSERT_NE(PollWindow(), nullptr);
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), "LPT1"));
  ExpectCleanExit(second);
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
  ASSERT_NE(dialog, nullptr);

  Sleep(200);  // an update cycle under way when the request came may finish
  const size_t paused = LedBytes().size();
  Sleep(600);
  EXPECT_EQ(LedBytes().size(), paused) << "LED bytes written while the dialog is shown";
  EXPECT_TRUE(EntriesOf(watch, second.Id()).empty()) << "the second start touched the port";

  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kCloseButton, BN_CLICKED), 0);
  EXPECT_TRUE(WaitForLedWrites(watch, program.Id(), paused + 3, kStartMs)) << "no resume after Close";
  EXPECT_FALSE(IsWindowVisible(dialog));
  Quit();
}

TEST_F(ProgramTest, QuitFromTheDialogSavesTheChangesAndRestoresThePort) {
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), ""));
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
  ASSERT_NE(dialog, nullptr);
  // A different process's edit: SendMessage carries the text across.
  SendMessageA(GetDlgItem(dialog, kFirstFloorEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("7"));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kQuitButton, BN_CLICKED), 0);
  ExpectCleanExit(program);
  EXPECT_EQ(StoredDword("LED 1 Floor"), 7);
  ExpectPortRestored();
}

TEST_F(ProgramTest, SamplingFailureEndsWithoutSaving) {
  // A stored interpolation value of 9 is refused at load; a save would
  // replace it with 0.
  ASSERT_TRUE(WriteSettingDword("Interpolation", 9));
  SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_FAIL_COLLECT", "6");
  Start();
  ExpectFailureMessage("Could not update LEDs!");
  EXPECT_EQ(StoredDword("Interpolation"), 9);
  ExpectPortRestored();
}

TEST_F(ProgramTest, SettingsKeyThatCannotBeWrittenStopsTheStartAndRestoresThePort) {
  ASSERT_TRUE(MakeSettingsKeyReadOnly());
  Start();
  ExpectFailureMessage("Could not load settings from the Registry!");
  ExpectPortRestored();
}

TEST_F(ProgramTest, EndOfSessionSavesAndRestores) {
  ASSERT_TRUE(WriteSettingDword("Interpolation", 9));
  Start();
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  HWND poll = PollWindow();
  ASSERT_NE(poll, nullptr);
  PostMessageA(poll, WM_ENDSESSION, TRUE, 0);
  ExpectCleanExit(program);
  EXPECT_EQ(StoredDword("Interpolation"), 0);
  ExpectPortRestored();
}

TEST_F(ProgramTest, FailedUpdateTakesTheIconAwayBeforeItsBox) {
  // The fake's hundredth collection fails: a few seconds of metering first.
  SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_FAIL_COLLECT", "100");
  Start();
  HWND poll = PollWindow();
  ASSERT_NE(poll, nullptr);
  EXPECT_TRUE(WaitForIcon(poll, kStartMs)) << "no icon in the notification area";
  HWND box = nullptr;
  EXPECT_EQ(WaitForMessageBox(program, kStartMs, &box), "Could not update LEDs!");
  EXPECT_TRUE(IsWindow(poll));
  EXPECT_FALSE(IconInArea(poll)) << "the icon stays while the failure is shown";
  if (box != nullptr) DismissMessageBox(box);
  ExpectCleanExit(program);
  ExpectPortRestored();
}

// Explorer hangs while the meter runs: the quit still ends the program at
// once, after one short wait for the icon's changes.
TEST_F(ProgramTest, QuitWhileTheNotificationAreaDoesNotAnswerEndsAtOnce) {
  FakeNotificationArea area("LPT1 (0x378)");
  ASSERT_TRUE(area.Ready()) << "the test's notification area is not the one found";
  Start();
  ASSERT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return a.Count() >= 1; }, kStartMs))
      << "no icon in the notification area";
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  // The pause of a second start is the change the area holds.
  area.Hold(20000);
  ASSERT_TRUE(StartProgram(&second, StageFolder("pdh"), "LPT1"));
  ExpectCleanExit(second);
  ASSERT_TRUE(area.WaitFor([](const FakeNotificationArea& a) { return a.Count() >= 2; }, kStartMs));

  HWND poll = PollWindow();
  ASSERT_NE(poll, nullptr);
  PostMessageA(poll, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(program.WaitForExit(5000, &code)) << "the quit waits on the notification area";
  EXPECT_EQ(code, 0u);
  ExpectPortRestored();
}

TEST_F(ProgramTest, StartUpFailuresShowTheirOwnMessage) {
  const struct {
    const char* stage;
    const char* arguments;
    const char* knob;  // fake pdh.dll failure, or null
    const char* message;
  } rows[] = {
      {"nowinio", "LPT1", nullptr, "Could not open parallel port!"},
      {"pdh", "LPT3", nullptr, "Could not open parallel port!"},  // no BIOS address
      {"pdh", "LPT9", nullptr, "Could not open parallel port!"},
      {"pdh", "LPT1", "PIPSTACK_FAKE_PDH_FAIL_OPEN", "Could not start PDH monitor!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.stage) + " " + row.arguments);
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_FAIL_OPEN", row.knob != nullptr ? "1" : nullptr);
    Program run;
    ASSERT_TRUE(StartProgram(&run, StageFolder(row.stage), row.arguments));
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(run, kStartMs, &box), row.message);
    if (box != nullptr) DismissMessageBox(box);
    ExpectCleanExit(run);
    for (const JournalEntry& e : EntriesOf(watch, run.Id()))
      EXPECT_NE(e.kind, kJournalPortWrite) << "a failed start wrote to the port";
  }
}

// The legacy family: run with pdh.dll disabled for the whole Wine process
// tree (Wine takes library overrides from the environment it starts with).
TEST_F(ProgramTest, LegacyFamilyWithoutTheStatisticCannotStart) {
  // Wine publishes no processor statistic under HKEY_DYN_DATA.
  Start("LPT1", "legacy");
  ExpectFailureMessage("Could not start CPU monitor!");
}

TEST_F(ProgramTest, StartWhileAnotherIsStartingShowsNothing) {
  // The mutex of a first instance that has no window yet.
  HANDLE first = CreateMutexA(nullptr, FALSE, "!!!Pipstack!!!");
  ASSERT_NE(first, nullptr);
  Start();
  ExpectCleanExit(program);
  EXPECT_TRUE(Journal().empty());
  CloseHandle(first);
}

TEST_F(ProgramTest, LibraryBesideTheProgramWinsOverTheWorkingFolder) {
  // The working folder holds a WinIO.dll and an InpOut library that would
  // start; the program must use the virtual port beside it all the same.
  ASSERT_TRUE(StartProgram(&program, StageFolder("pdh"), "LPT1", StageFolder("decoy")));
  EXPECT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  Quit();
}

}  // namespace

// How many LEDs the LED bytes in [from, to) light, sorted (the default
// windows make a bar, so this is the processor time in tenths, roughly).
std::vector<int> LitLeds(const std::vector<int32_t>& bytes, size_t from, size_t to) {
  std::vector<int> lit;
  for (size_t i = from; i < to && i < bytes.size(); ++i) {
    int count = 0;
    for (int32_t b = bytes[i]; b != 0; b >>= 1) count += b & 1;
    lit.push_back(count);
  }
  std::sort(lit.begin(), lit.end());
  return lit;
}

TEST_F(ProgramTest, WineCountersFollowARealLoad) {
  // Our pdh.dll reads the host: total processor time on every LED.
  Start("LPT1", "counters");
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 10, kStartMs));
  Sleep(1500);
  const size_t loadStart = LedBytes().size();

  // Every core busy: processor time near 100 %, so nearly every LED lights.
  std::atomic<bool> stop{false};
  std::vector<std::thread> spinners;
  for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
    spinners.emplace_back([&stop] {
      volatile unsigned long long n = 0;
      while (!stop.load(std::memory_order_relaxed)) n = n + 1;
    });
  }
  Sleep(3000);
  stop = true;
  for (std::thread& t : spinners) t.join();

  const std::vector<int32_t> bytes = LedBytes();
  ASSERT_GT(bytes.size(), loadStart + 20);
  // The first second of the load is the counter catching up.
  const std::vector<int> idle = LitLeds(bytes, 10, loadStart);
  const std::vector<int> loaded = LitLeds(bytes, loadStart + 25, bytes.size());
  ASSERT_FALSE(idle.empty());
  ASSERT_FALSE(loaded.empty());
  const int loadedMedian = loaded[loaded.size() / 2];
  EXPECT_GE(loadedMedian, 7) << "processor time under full load did not reach LED 7's window";
  EXPECT_LT(idle[idle.size() / 2], loadedMedian) << "the LEDs did not rise with the load";
  Quit();
}

// Discovery against Wine's spooler: LPT1 can be opened only while the
// prefix's dosdevices/lpt1 names an existing file.
class DiscoveryTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    char prefix[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    ASSERT_TRUE(length > 0 && length < sizeof prefix);
    // The \\?\ form is taken literally; otherwise "lpt1" names the device.
    device = std::string("\\\\?\\Z:") + prefix + "\\dosdevices\\lpt1";
    std::replace(device.begin(), device.end(), '/', '\\');
  }
  void TearDown() override {
    DeleteFileA(device.c_str());
    ProgramTest::TearDown();
  }
  std::string device;
};

TEST_F(DiscoveryTest, NoOpenablePortIsReported) {
  DeleteFileA(device.c_str());
  Start("");
  ExpectFailureMessage("No parallel port found on the system!");
}

TEST_F(DiscoveryTest, FirstParallelPortIsOpenedWithoutAName) {
  HANDLE file = CreateFileA(device.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  Start("   ");
  ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 2, kStartMs));
  const std::vector<JournalEntry> journal = Journal();
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[1].kind, kJournalPhysicalRead);
  EXPECT_EQ(journal[1].address, 0x408u);
  Quit();
}
