// pipstack.exe started for real under Wine to see which port-I/O library it
// takes and which port it opens: the virtual port under InpOut's interface
// and WinIO's, in the order the program tries them; an InpOut whose driver
// is not open; a port named by its address; refused port arguments; Plug and
// Play through a fake cfgmgr32.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/program_runner.h"
#include "tests/e2e/stage_folder.h"
#include "tests/e2e/virtual_port_watch.h"

namespace {

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;
constexpr uint16_t kLpt1 = 0x378;
constexpr uint16_t kCard = 0xD010;
constexpr char kPortFailedText[] = "Could not open parallel port!";

class PortLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    SetEnvironmentVariableA("PIPSTACK_FAKE_PDH_VALUES", "\\Processor(_Total)\\% Processor Time=45");
    SetEnvironmentVariableA("PIPSTACK_FAKE_PNP_DEVICES", nullptr);
  }
  void TearDown() override {
    program.Kill();
    DeleteSettingsKey();
  }
  static void ExpectCleanExit(const Program& run) {
    DWORD code = 1;
    ASSERT_TRUE(run.WaitForExit(kExitMs, &code));
    EXPECT_EQ(code, 0u);
  }
  // The port-open failure is shown, OK ends the process with exit code 0.
  static void ExpectPortFailure(const Program& run) {
    HWND box = nullptr;
    EXPECT_EQ(WaitForMessageBox(run, kStartMs, &box), kPortFailedText);
    if (box != nullptr) DismissMessageBox(box);
    ExpectCleanExit(run);
  }
  // Ends the meter as Quit would, by destroying its poll window.
  void Quit() {
    HWND poll = WaitForWindow("Pipstack", "Pipstack Poll Window", kStartMs, false);
    ASSERT_NE(poll, nullptr);
    PostMessageA(poll, WM_CLOSE, 0, 0);
    ExpectCleanExit(program);
  }

  Program program;
};

// With the virtual machine held open by the test.
class WatchedPortTest : public PortLibraryTest {
 protected:
  void SetUp() override {
    PortLibraryTest::SetUp();
    ASSERT_NE(watch.view.machine, nullptr) << "virtual port not reachable";
  }
  std::vector<JournalEntry> Journal() const { return EntriesOf(watch, program.Id()); }
  bool WaitForWrites(uint16_t base, size_t count) const {
    const DWORD start = GetTickCount();
    while (LedWrites(Journal(), base).size() < count) {
      if (GetTickCount() - start > kStartMs) return false;
      Sleep(20);
    }
    return true;
  }
  // The last three port writes put the port at base back as it was at power
  // on, data, control, ECR in that order.
  void ExpectRestored(uint16_t base, int portIndex) const {
    std::vector<JournalEntry> writes;
    for (const JournalEntry& e : Journal()) {
      if (e.kind == kJournalPortWrite) writes.push_back(e);
    }
    ASSERT_GE(writes.size(), 3u);
    const JournalEntry* last = &writes[writes.size() - 3];
    const PortRegisters powerOn = kPowerOnRegisters[static_cast<size_t>(portIndex)];
    EXPECT_EQ(last[0].address, base);
    EXPECT_EQ(last[0].value, powerOn.data);
    EXPECT_EQ(last[1].address, base + 2u);
    EXPECT_EQ(last[2].address, base + 0x402u);
    EXPECT_EQ(last[2].value, powerOn.ecr);
    const PortRegisters now = PeekPortRegisters(watch.view, portIndex);
    EXPECT_EQ(now.data, powerOn.data);
    EXPECT_EQ(now.control, powerOn.control);
    EXPECT_EQ(now.ecr, powerOn.ecr);
  }
  static int CountKind(const std::vector<JournalEntry>& journal, uint16_t kind) {
    return static_cast<int>(
        std::count_if(journal.begin(), journal.end(), [kind](const JournalEntry& e) { return e.kind == kind; }));
  }

  PortWatch watch;
};

TEST_F(WatchedPortTest, VirtualInpOutAloneMetersAndIsReleasedAtQuit) {
  ASSERT_TRUE(StartProgram(&program, StageFolder("inpout"), "LPT1"));
  ASSERT_TRUE(WaitForWrites(kLpt1, 5));
  // The BIOS word is read through InpOut, right after its driver opened.
  const std::vector<JournalEntry> journal = Journal();
  ASSERT_GE(journal.size(), 2u);
  EXPECT_EQ(journal[0].kind, kJournalInpOutOpen);
  EXPECT_EQ(journal[1].kind, kJournalPhysicalRead);
  EXPECT_EQ(journal[1].address, 0x408u);
  for (const JournalEntry& e : LedWrites(journal, kLpt1)) EXPECT_EQ(e.value, 31u);  // 45 % lights LEDs 1 to 5

  Quit();
  ExpectRestored(kLpt1, 0);
  const std::vector<JournalEntry> after = Journal();
  EXPECT_EQ(after.back().kind, kJournalInpOutRelease) << "the library was not released";
  EXPECT_EQ(CountKind(after, kJournalInitialize), 0);
}

TEST_F(WatchedPortTest, FirstLibraryThatStartsDrivesThePort) {
  const struct {
    const char* stage;
    uint16_t opened;  // how the library in use met the machine
    uint16_t never;   // the other interface's opening
  } rows[] = {
      {"winio_fails", kJournalInpOutOpen, kJournalInitialize},   // WinIO.dll fails to start: InpOut
      {"both", kJournalInitialize, kJournalInpOutOpen},          // a working WinIO.dll: InpOut never loaded
      {"inpout_first", kJournalInpOutOpen, kJournalInitialize},  // InpOut before the virtual port
      {"pdh", kJournalInitialize, kJournalInpOutOpen},           // the virtual port alone
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stage);
    ASSERT_TRUE(StartProgram(&program, StageFolder(row.stage), "LPT1"));
    ASSERT_TRUE(WaitForWrites(kLpt1, 3));
    const std::vector<JournalEntry> journal = Journal();
    EXPECT_EQ(journal.front().kind, row.opened);
    EXPECT_EQ(CountKind(journal, row.never), 0);
    Quit();
    ExpectRestored(kLpt1, 0);
  }
}

// InpOut's driver did not open (here: the machine in the section has another
// layout, so the virtual InpOut cannot reach it): the program says so and
// writes nothing.
TEST_F(PortLibraryTest, InpOutWithoutItsDriverShowsTheMessageAndWritesNothing) {
  VirtualPortView existing{};
  if (OpenVirtualPort(kVirtualPortReadOnly, &existing) == kVirtualPortOk) {
    CloseVirtualPort(&existing);
    GTEST_SKIP() << "another process holds the machine";
  }
  const ScopedHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(VirtualMachine), kVirtualPortSectionName));
  ASSERT_TRUE(section.IsValid());
  auto* machine = static_cast<VirtualMachine*>(MapViewOfFile(section.Get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(machine, nullptr);
  std::memset(static_cast<void*>(machine), 0x5C, sizeof *machine);
  machine->magic = kMachineMagic;
  machine->layout = kMachineLayout + 1;
  std::vector<unsigned char> before(sizeof *machine);
  std::memcpy(before.data(), machine, before.size());

  ASSERT_TRUE(StartProgram(&program, StageFolder("inpout"), "LPT1"));
  ExpectPortFailure(program);
  EXPECT_EQ(std::memcmp(before.data(), machine, before.size()), 0) << "the machine was touched";
  UnmapViewOfFile(machine);
}

TEST_F(WatchedPortTest, AnAddressOpensACardTheBiosDoesNotList) {
  ASSERT_TRUE(StartProgram(&program, StageFolder("pdh"), "0xD010"));
  ASSERT_TRUE(WaitForWrites(kCard, 5));
  const std::vector<JournalEntry> journal = Journal();
  EXPECT_EQ(CountKind(journal, kJournalPhysicalRead), 0) << "the BIOS was asked";
  for (const JournalEntry& e : LedWrites(journal, kCard)) EXPECT_EQ(e.value, 31u);
  for (const JournalEntry& e : journal) {
    if (e.kind == kJournalPortWrite) {
      EXPECT_GE(e.address, kCard) << "a write outside the card";
    }
  }
  Quit();
  ExpectRestored(kCard, kCardPort);
}

TEST_F(WatchedPortTest, RefusedPortArgumentsTouchNoPort) {
  const std::string longName = "LPT1" + std::string(4996, 'x');
  // COM1 to COM256 name the LED controller now; other COM names stay refused.
  const char* refused[] = {"COM0",   "COM257", "XYZ1", "PRN2",   "LPT1\xE9\xFC", longName.c_str(), "LPT 3",
                           "lpt1::", "0x",     "0xFF", "0xFC00", "0x12G4",       "0xD010 "};
  for (const char* argument : refused) {
    SCOPED_TRACE(std::string(argument).substr(0, 12));
    Program run;
    ASSERT_TRUE(StartProgram(&run, StageFolder("pdh"), argument));
    ExpectPortFailure(run);
    EXPECT_TRUE(EntriesOf(watch, run.Id()).empty()) << "the port library was reached";
  }
}

// Discovery against Wine's spooler finds LPT1 only while the prefix's
// dosdevices/lpt1 names an existing file.
std::string LptDevice() {
  char prefix[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (length == 0 || length >= sizeof prefix) return "";
  std::string device = std::string("\\\\?\\Z:") + prefix + "\\dosdevices\\lpt1";
  std::replace(device.begin(), device.end(), '/', '\\');
  return device;
}

TEST_F(WatchedPortTest, PlugAndPlayGivesANamedPortItsBase) {
  const struct {
    const char* what;
    const char* arguments;
    const char* devices;
    uint16_t base;
    bool biosRead;
  } rows[] = {
      {"a card", "LPT2", "Ports LPT2 D010", kCard, false},
      {"no argument: the first port discovered", "", "Ports LPT1 D010", kCard, false},
      {"a device without an I/O range", "LPT1", "Ports LPT1 -;Ports LPT2 D010", kLpt1, true},
      {"no device of that name", "LPT1", "Ports LPT3 D010", kLpt1, true},
  };
  const std::string device = LptDevice();
  ASSERT_FALSE(device.empty());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetEnvironmentVariableA("PIPSTACK_FAKE_PNP_DEVICES", row.devices);
    const bool discover = row.arguments[0] == '\0';
    if (discover) {
      const ScopedHandle file(
          CreateFileA(device.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(file.IsValid());
    }
    ASSERT_TRUE(StartProgram(&program, StageFolder("pnp"), row.arguments));
    const bool written = WaitForWrites(row.base, 3);
    if (discover) DeleteFileA(device.c_str());
    ASSERT_TRUE(written);
    EXPECT_EQ(CountKind(Journal(), kJournalPhysicalRead), row.biosRead ? 1 : 0);
    Quit();
    ExpectRestored(row.base, row.base == kCard ? kCardPort : 0);
  }
}

}  // namespace
