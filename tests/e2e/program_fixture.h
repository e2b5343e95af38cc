// What every end-to-end test of pipstack.exe starts from: a clean settings
// key, the virtual port watched, the scripted pdh.dll's value, and the checks
// the tests share (clean exit, failure box, port restored).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/program_runner.h"
#include "tests/e2e/stage_folder.h"
#include "tests/e2e/virtual_port_watch.h"

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;
constexpr uint16_t kLpt1 = 0x378;
constexpr char kConfigTitle[] = "Pipstack Configuration";
constexpr char kCpuPath[] = "\\Processor(_Total)\\% Processor Time";

// Control ids of the configuration dialog that the tests press or fill, and
// of the Test Sequences dialog.
constexpr int kCloseButton = 1032;
constexpr int kQuitButton = 1034;
constexpr int kFirstFloorEdit = 1000;
constexpr int kMeterTestsButton = 1043;
constexpr int kShortTestButton = 1042;
constexpr int kFullTestButton = 1045;
constexpr int kTestCloseButton = 1032;

// The short test's LED bytes: dots, then lines, dark between and at both ends.
inline const std::vector<int32_t> kShortTestPattern = {0, 1, 2, 4,  8,  16, 32,  64,  128, 64, 32, 16, 8, 4, 2, 1, 0,
                                                       1, 3, 7, 15, 31, 63, 127, 255, 127, 63, 31, 15, 7, 3, 1, 0};

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(watch.view.machine, nullptr) << "virtual port not reachable";
    DeleteSettingsKey();
    SetCounterValue(45);
    for (const char* knob : {"PIPSTACK_FAKE_PDH_FAIL_OPEN", "PIPSTACK_FAKE_PDH_FAIL_COLLECT"})
      SetEnvironmentVariableA(knob, nullptr);
  }
  void TearDown() override {
    program.Kill();
    second.Kill();
    DeleteSettingsKey();
  }
  static void SetCounterValue(int32_t value) {
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_VALUES", (std::string(kCpuPath) + "=" + std::to_string(value)).c_str());
  }
  void Start(const char* arguments = "LPT1", const char* stage = "pdh") {
    ASSERT_TRUE(StartProgram(&program, StageFolder(stage), arguments));
  }
  std::vector<JournalEntry> Journal() const { return EntriesOf(watch, program.Id()); }
  std::vector<int32_t> LedBytes() const {
    std::vector<int32_t> bytes;
    for (const JournalEntry& e : LedWrites(Journal(), kLpt1)) bytes.push_back(static_cast<int32_t>(e.value));
    return bytes;
  }
  HWND PollWindow() const { return WaitForWindow("Pipstack", "Pipstack Poll Window", kStartMs, false); }
  // The process ends in the time, with exit code 0.
  static void ExpectCleanExit(const Program& run) {
    DWORD code = 1;
    ASSERT_TRUE(run.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);
  }
  static int32_t StoredDword(const char* name) {
    int32_t value = INT32_MIN;
    EXPECT_TRUE(ReadSettingDword(name, &value)) << name;
    return value;
  }
  // Ends the meter as Quit would, by destroying its poll window.
  void Quit() {
    HWND poll = PollWindow();
    ASSERT_NE(poll, nullptr);
    PostMessageA(poll, WM_CLOSE, 0, 0);
    ExpectCleanExit(program);
  }
  // Meter Tests in the shown configuration dialog: the Test Sequences
  // dialog, or null.
  HWND OpenTestSequences(HWND dialog) const {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kMeterTestsButton, BN_CLICKED), 0);
    return WaitForWindow(nullptr, "Test Sequences", kStartMs, true);
  }
  // Plays the short test there to its end and dismisses its box.
  void PlayShortTest(HWND tests) const {
    PostMessageA(tests, WM_COMMAND, MAKEWPARAM(kShortTestButton, BN_CLICKED), 0);
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(program, kStartMs, &box), "Short test complete!");
    if (box != nullptr) DismissMessageBox(box);
  }
  // A failure message is shown, OK ends the process with exit code 0.
  void ExpectFailureMessage(const char* text) {
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(program, kStartMs, &box), text);
    if (box != nullptr) DismissMessageBox(box);
    ExpectCleanExit(program);
  }
  // The journal's last three port writes put LPT1's power-on registers back,
  // data, control, ECR in that order, and the library was shut down.
  void ExpectPortRestored() {
    std::vector<JournalEntry> writes;
    bool shutdown = false;
    for (const JournalEntry& e : Journal()) {
      if (e.kind == kJournalPortWrite) writes.push_back(e);
      shutdown = e.kind == kJournalShutdown;
    }
    ASSERT_GE(writes.size(), 3u);
    const JournalEntry* last = &writes[writes.size() - 3];
    const PortRegisters powerOn = kPowerOnRegisters[0];
    EXPECT_EQ(last[0].address, kLpt1);
    EXPECT_EQ(last[0].value, powerOn.data);
    EXPECT_EQ(last[1].address, kLpt1 + 2u);
    EXPECT_EQ(last[1].value & 0x3Fu, powerOn.control & 0x3Fu);
    EXPECT_EQ(last[2].address, kLpt1 + 0x402u);
    EXPECT_EQ(last[2].value, powerOn.ecr);
    EXPECT_TRUE(shutdown) << "the last call was not ShutdownWinIo";
    const PortRegisters now = PeekPortRegisters(watch.view, 0);
    EXPECT_EQ(now.data, powerOn.data);
    EXPECT_EQ(now.ecr, powerOn.ecr);
  }

  PortWatch watch;
  Program program;
  Program second;
};
