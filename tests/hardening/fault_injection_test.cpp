// pipstack.exe started end to end under Wine while WinIO.dll or pdh.dll fails
// one call drawn at random (from a fixed start value, so every run of the
// suite injects the same faults): each run must end with the program's
// message for that failure, or keep metering where the failure does not end
// it, exit with code 0, and leave the port's registers as it found them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/program_runner.h"
#include "tests/e2e/stage_folder.h"
#include "tests/e2e/virtual_port_watch.h"
#include "tests/hardening/fault_catalogue.h"

namespace {

constexpr uint32_t kRandomStart = 0x50495053;
constexpr int32_t kRuns = 40;
constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;
constexpr uint16_t kLpt1 = 0x378;

const std::vector<Fault>& Faults() {
  static const std::vector<Fault> faults = DrawFaults(kRandomStart, kRuns);
  return faults;
}

constexpr const char* kPdhKnobs[] = {"PIPSTACK_FAKE_PDH_FAIL_OPEN", "PIPSTACK_FAKE_PDH_FAIL_ADD",
                                     "PIPSTACK_FAKE_PDH_FAIL_REMOVE", "PIPSTACK_FAKE_PDH_FAIL_COLLECT",
                                     "PIPSTACK_FAKE_PDH_FAIL_FORMAT"};

// The environment the program inherits: exactly this one fault.
void InjectFault(const Fault& f) {
  SetEnvironmentVariableA("PIPSTACK_FAULT_WINIO", nullptr);
  for (const char* knob : kPdhKnobs) SetEnvironmentVariableA(knob, nullptr);
  const std::string n = std::to_string(f.n);
  if (f.library == kFaultWinIo) {
    SetEnvironmentVariableA("PIPSTACK_FAULT_WINIO", (f.kind + ":" + n).c_str());
    return;
  }
  std::string knob = "PIPSTACK_FAKE_PDH_FAIL_";
  for (char c : f.kind) knob += static_cast<char>(c - 'a' + 'A');
  SetEnvironmentVariableA(knob.c_str(), n.c_str());
}

class FaultRun : public testing::TestWithParam<int32_t> {
 protected:
  void SetUp() override {
    ASSERT_NE(watch.view.machine, nullptr) << "virtual port not reachable";
    DeleteSettingsKey();
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_VALUES", "\\Processor(_Total)\\% Processor Time=45");
  }
  void TearDown() override { program.Kill(); }

  PortWatch watch;
  Program program;
};

TEST_P(FaultRun, EndsAsTheFaultDemands) {
  const Fault& fault = Faults()[static_cast<size_t>(GetParam())];
  const Outcome expected = ExpectedOutcome(fault);
  InjectFault(fault);
  ASSERT_TRUE(StartProgram(&program, StageFolder("fault"), "LPT1"));

  if (expected.message.empty()) {
    ASSERT_TRUE(WaitForLedWrites(watch, program.Id(), 5, kStartMs)) << "the meter did not run";
    EXPECT_EQ(WaitForMessageBox(program, 300, nullptr), "");
    HWND poll = WaitForWindow("Pipstack", "Pipstack Poll Window", kStartMs, false);
    ASSERT_NE(poll, nullptr);
    PostMessageA(poll, WM_CLOSE, 0, 0);
  } else {
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(program, kStartMs, &box), expected.message);
    if (box != nullptr) DismissMessageBox(box);
  }
  DWORD code = 1;
  ASSERT_TRUE(program.WaitForExit(kExitMs, &code)) << "still running";
  EXPECT_EQ(code, 0u) << "a crash ends with its exception code";

  const PortRegisters want = kPowerOnRegisters[0];
  const PortRegisters now = PeekPortRegisters(watch.view, 0);
  EXPECT_EQ(now.data, want.data);
  EXPECT_EQ(now.control, want.control);
  EXPECT_EQ(now.ecr, want.ecr);
  // The fault that struck shows in the journal as a failed call, and the
  // library that started was shut down at the end, a failed open's too.
  if (fault.library == kFaultWinIo && !expected.message.empty() && fault.kind != "init") {
    const std::vector<JournalEntry> journal = EntriesOf(watch, program.Id());
    bool struck = false;
    for (const JournalEntry& e : journal) struck |= e.succeeded == 0;
    EXPECT_TRUE(struck) << "no failed call in the journal";
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back().kind, kJournalShutdown) << "the library was not released";
  }
}

INSTANTIATE_TEST_SUITE_P(Drawn, FaultRun, testing::Range(0, kRuns), [](const testing::TestParamInfo<int32_t>& info) {
  return "run" + std::to_string(info.param) + "_" + FaultName(Faults()[static_cast<size_t>(info.param)]);
});

}  // namespace
