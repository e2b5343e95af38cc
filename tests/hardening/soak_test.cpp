// pipstack.exe on the virtual port for many update cycles at a 1 ms write
// delay, its configuration dialog opened and closed and settings edited now
// and then; its memory, handles and GDI/USER objects, sampled throughout,
// must stay flat. PIPSTACK_SOAK_CYCLES sets the length (see fuzz/README.md
// for the full run); without it a short run of the test command.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "tests/e2e/program_runner.h"
#include "tests/e2e/stage_folder.h"
#include "tests/e2e/virtual_port_watch.h"
#include "tests/hardening/process_figures.h"

namespace {

constexpr uint64_t kShortRunCycles = 20000;
constexpr uint64_t kCyclesPerVisit = 2000;  // the dialog is opened this often
constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;
constexpr DWORD kSampleMs = 100;
constexpr DWORD kStallMs = 10000;  // no cycle in this long: the meter has stopped
constexpr DWORD kSlowVisitMs = 2000;
constexpr char kConfigTitle[] = "Pipstack Configuration";
constexpr char kOtherPath[] = "\\Processor(0)\\% Processor Time";
// Growth allowed by the end of the run. Private bytes and handles are held
// to the sample after the first visit to the dialog: a leak of a few bytes per
// cycle or a handle per visit shows. Under Wine the working set swings by a
// few MiB as pages are touched and trimmed (in steps of about 1 MiB; a 32-bit
// run has grown three steps with flat private bytes before Wine trimmed it),
// so its floor is compared: the smallest sample of the last quarter against
// that of the second quarter. What only the working set shows is a leak of
// whole pages (a mapped view, a module, a stack): one page a cycle over the
// five thousand cycles at least between the quarters is 20 MiB.
constexpr uint64_t kPrivateSlack = 256u << 10;
constexpr uint64_t kWorkingSetSlack = 6u << 20;
constexpr int32_t kObjectSlack = 2;

uint64_t SoakCycles() {
  const char* text = std::getenv("PIPSTACK_SOAK_CYCLES");
  const long long cycles = text != nullptr ? std::atoll(text) : 0;
  return cycles > 0 ? static_cast<uint64_t>(cycles) : kShortRunCycles;
}

void Print(const char* when, uint64_t cycles, const ProcessFigures& f) {
  std::printf(
      "%-7s cycles %8llu  working set %6llu KiB  private %6llu KiB  handles %3d  GDI %3d  USER %3d  windows %3d\n",
      when, static_cast<unsigned long long>(cycles), static_cast<unsigned long long>(f.workingSet / 1024),
      static_cast<unsigned long long>(f.privateBytes / 1024), f.handles, f.gdiObjects, f.userObjects, f.windows);
  std::fflush(stdout);
}

class SoakTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(watch.view.machine, nullptr) << "virtual port not reachable";
    DeleteSettingsKey();
    ASSERT_TRUE(WriteSettingDword("Write Delay", 1));
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_VALUES", "\\Processor(_Total)\\% Processor Time=45");
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_BROWSE", kOtherPath);
  }
  void TearDown() override { program.Kill(); }

  // Every journal entry since the start is the program's; after the open
  // each update cycle adds exactly one, its LED byte.
  uint64_t Cycles() const { return JournalTotal(watch.view) - journalAtStart; }
  ProcessFigures Sample() const { return SampleProcess(program.Handle(), program.Id()); }

  // Shows the dialog as a second start would, edits a floor and the write
  // delay (to the same 1 ms) and picks another counter for one LED, then
  // closes it. Returns the floor it typed.
  int32_t VisitDialog(HWND poll, int32_t visit) {
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(poll, WM_USER, 0, 0, SMTO_ABORTIFHUNG, kStartMs, &answer), 0);
    HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
    EXPECT_NE(dialog, nullptr);
    if (dialog == nullptr) return -1;
    const int32_t floor = visit % 50;
    const std::string floorText = std::to_string(floor);
    SendMessageA(GetDlgItem(dialog, IDC_CONFIG_FLOOR_1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(floorText.c_str()));
    SendMessageA(GetDlgItem(dialog, IDC_CONFIG_WRITE_DELAY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_SOURCE_BUTTON_1 + visit % 8, BN_CLICKED), 0);
    // Posted, as a click arrives: the paused loop waits for a posted message.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_CLOSE, BN_CLICKED), 0);
    const DWORD start = GetTickCount();
    while (IsWindowVisible(dialog) && GetTickCount() - start < kStartMs) Sleep(10);
    EXPECT_FALSE(IsWindowVisible(dialog));
    return floor;
  }

  PortWatch watch;
  Program program;
  uint64_t journalAtStart = 0;
};

TEST_F(SoakTest, ResourcesStayFlatOverManyCycles) {
  const uint64_t target = SoakCycles();
  journalAtStart = JournalTotal(watch.view);
  ASSERT_TRUE(StartProgram(&program, StageFolder("soak"), "LPT1"));
  HWND poll = WaitForWindow("Pipstack", "Pipstack Poll Window", kStartMs, false);
  ASSERT_NE(poll, nullptr);

  int32_t visits = 0;
  int32_t lastFloor = VisitDialog(poll, visits++);
  const ProcessFigures first = Sample();
  Print("start", Cycles(), first);
  ProcessFigures peak = first;
  ProcessFigures last = first;
  // The working set's floor in the second and in the last quarter of the run.
  uint64_t secondQuarterFloor = UINT64_MAX;
  uint64_t lastQuarterFloor = UINT64_MAX;
  uint64_t nextVisit = Cycles() + kCyclesPerVisit;
  uint64_t seen = Cycles();
  DWORD progressAt = GetTickCount();
  const DWORD startedAt = progressAt;
  while (Cycles() < target) {
    Sleep(kSampleMs);
    const uint64_t now = Cycles();
    if (now != seen) progressAt = GetTickCount();
    seen = now;
    ASSERT_LT(GetTickCount() - progressAt, kStallMs) << "no update cycle for a while at " << now;
    ASSERT_EQ(WaitForSingleObject(program.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program ended";
    if (now >= nextVisit) {
      const DWORD visitStart = GetTickCount();
      lastFloor = VisitDialog(poll, visits++);
      // The meter is paused while the dialog is shown: the stall clock
      // starts again when it closes.
      progressAt = GetTickCount();
      if (progressAt - visitStart > kSlowVisitMs) std::printf("a slow visit: %lu ms\n", progressAt - visitStart);
      nextVisit = now + kCyclesPerVisit;
      last = Sample();
      Print("visit", now, last);
    } else {
      last = Sample();
    }
    if (now >= target / 4 && now < target / 2) secondQuarterFloor = std::min(secondQuarterFloor, last.workingSet);
    if (now >= target / 4 * 3) lastQuarterFloor = std::min(lastQuarterFloor, last.workingSet);
    peak.workingSet = std::max(peak.workingSet, last.workingSet);
    peak.privateBytes = std::max(peak.privateBytes, last.privateBytes);
    peak.handles = std::max(peak.handles, last.handles);
    peak.gdiObjects = std::max(peak.gdiObjects, last.gdiObjects);
    peak.userObjects = std::max(peak.userObjects, last.userObjects);
    peak.windows = std::max(peak.windows, last.windows);
  }
  Print("end", Cycles(), last);
  Print("peak", Cycles(), peak);
  std::printf("%d dialog visits, %.1f s, %.2f ms per cycle\n", visits, (GetTickCount() - startedAt) / 1000.0,
              static_cast<double>(GetTickCount() - startedAt) / static_cast<double>(Cycles()));

  std::printf("working set floor: second quarter %llu KiB, last quarter %llu KiB\n",
              static_cast<unsigned long long>(secondQuarterFloor / 1024),
              static_cast<unsigned long long>(lastQuarterFloor / 1024));
  EXPECT_LE(lastQuarterFloor, secondQuarterFloor + kWorkingSetSlack);
  EXPECT_LE(last.privateBytes, first.privateBytes + kPrivateSlack);
  EXPECT_GE(first.handles, 0) << "handles could not be counted";
  EXPECT_LE(last.handles, first.handles + kObjectSlack);
  EXPECT_LE(last.gdiObjects, first.gdiObjects + kObjectSlack);
  EXPECT_LE(last.userObjects, first.userObjects + kObjectSlack);
  EXPECT_EQ(last.windows, first.windows);

  // Quit from the dialog: the last edit is saved and the port restored.
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(poll, WM_USER, 0, 0, SMTO_ABORTIFHUNG, kStartMs, &answer);
  HWND dialog = WaitForWindow(nullptr, kConfigTitle, kStartMs, true);
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_QUIT, BN_CLICKED), 0);
  DWORD code = 1;
  ASSERT_TRUE(program.WaitForExit(kExitMs, &code));
  EXPECT_EQ(code, 0u);
  int32_t savedFloor = -1;
  EXPECT_TRUE(ReadSettingDword("LED 1 Floor", &savedFloor));
  EXPECT_EQ(savedFloor, lastFloor);
  const PortRegisters now = PeekPortRegisters(watch.view, 0);
  EXPECT_EQ(now.data, kPowerOnRegisters[0].data);
  EXPECT_EQ(now.control, kPowerOnRegisters[0].control);
  EXPECT_EQ(now.ecr, kPowerOnRegisters[0].ecr);
}

}  // namespace
