// The port opened on the virtual WinIO.dll: its registers are saved, set for
// LED output, and put back at close, as the machine's journal shows.
#include <gtest/gtest.h>

#include <vector>

#include "emulation/winio/virtual_port_view_win.h"
#include "port/parallel_port.h"

namespace {

struct Step {
  uint16_t kind;
  uint32_t address;
  uint32_t value;
};

std::vector<Step> Steps(const std::vector<JournalEntry>& entries) {
  std::vector<Step> steps;
  for (const JournalEntry& e : entries) steps.push_back({e.kind, e.address, e.value});
  return steps;
}

bool operator==(const Step& a, const Step& b) {
  return a.kind == b.kind && a.address == b.address && a.value == b.value;
}

void PrintTo(const Step& s, std::ostream* out) { *out << s.kind << ' ' << std::hex << s.address << ' ' << s.value; }

bool operator==(const PortRegisters& a, const PortRegisters& b) {
  return a.data == b.data && a.status == b.status && a.control == b.control && a.ecr == b.ecr;
}

class VirtualPortOpenTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetDllDirectoryA(PIPSTACK_BIN_DIR));
    // Held for the whole test, so the machine outlives each close.
    ASSERT_EQ(OpenVirtualPort(kVirtualPortCreate, &view), kVirtualPortOk);
    ResetVirtualPort(view);
  }
  void TearDown() override {
    CloseParallelPort();
    CloseVirtualPort(&view);
  }
  VirtualPortView view{};
};

TEST_F(VirtualPortOpenTest, OpenSavesAndSetsCloseRestores) {
  const PortRegisters before = PeekPortRegisters(view, 0);
  const uint64_t start = JournalTotal(view);

  ASSERT_EQ(OpenParallelPort("LPT1"), 0);
  const PortRegisters open = PeekPortRegisters(view, 0);
  EXPECT_EQ(open.data, 0);
  EXPECT_EQ(open.control & 0x3F, 0x0B);
  EXPECT_EQ(open.ecr, before.ecr & 0x1F);
  EXPECT_EQ(WriteParallelPort(0xA5), 0);
  EXPECT_EQ(PeekPortRegisters(view, 0).data, 0xA5);
  EXPECT_EQ(CloseParallelPort(), 0);

  EXPECT_TRUE(PeekPortRegisters(view, 0) == before);
  const uint32_t ecr = before.ecr, data = before.data, control = before.control;
  const std::vector<Step> expected = {
      {kJournalInitialize, 0, 0},
      {kJournalPhysicalRead, 0x408, 0x02780378},
      {kJournalPortRead, 0x77A, ecr},
      {kJournalPortRead, 0x378, data},
      {kJournalPortRead, 0x37A, control},
      {kJournalPortWrite, 0x77A, ecr & 0x1F},
      {kJournalPortWrite, 0x378, 0},
      {kJournalPortWrite, 0x37A, 0x0B},
      {kJournalPortWrite, 0x378, 0xA5},
      {kJournalPortWrite, 0x378, data},
      {kJournalPortWrite, 0x37A, control},
      {kJournalPortWrite, 0x77A, ecr},
      {kJournalShutdown, 0, 0},
  };
  EXPECT_EQ(Steps(ReadJournal(view, start)), expected);
}

TEST_F(VirtualPortOpenTest, PortWithoutBiosAddressIsNotOpened) {
  SetBiosPortBase(view, 1, 0);
  const PortRegisters lpt2 = PeekPortRegisters(view, 1);
  EXPECT_EQ(OpenParallelPort("LPT2"), 5);
  EXPECT_EQ(OpenParallelPort("LPT3"), 5);
  EXPECT_TRUE(PeekPortRegisters(view, 1) == lpt2);
  EXPECT_EQ(WriteParallelPort(1), 1);
}

}  // namespace
