// The virtual port under InpOut's interface: the same machine as the WinIO
// library, opened by the first call and closed when the library is released.
// (A driver that is not open: tests/e2e/port_library_test.cpp.)
#include <gtest/gtest.h>

#include <vector>

#include "core/scoped_win.h"
#include "emulation/winio/virtual_port_view_win.h"
#include "port/inpout_api_win.h"

namespace {

struct InpOutLibrary {
  ScopedLibrary module;
  decltype(&inpout::IsInpOutDriverOpen) IsInpOutDriverOpen = nullptr;
  decltype(&inpout::Out32) Out32 = nullptr;
  decltype(&inpout::Inp32) Inp32 = nullptr;
  decltype(&inpout::DlPortReadPortUchar) DlPortReadPortUchar = nullptr;
  decltype(&inpout::DlPortWritePortUchar) DlPortWritePortUchar = nullptr;
  decltype(&inpout::GetPhysLong) GetPhysLong = nullptr;
  decltype(&inpout::MapPhysToLin) MapPhysToLin = nullptr;
  decltype(&inpout::UnmapPhysicalMemory) UnmapPhysicalMemory = nullptr;

  bool Load() {
    module.Reset(LoadLibraryA(PIPSTACK_VIRTUAL_INPOUT));
    const HMODULE m = module.Get();
    return m != nullptr && ResolveEntryPoint(m, "IsInpOutDriverOpen", &IsInpOutDriverOpen) &&
           ResolveEntryPoint(m, "Out32", &Out32) && ResolveEntryPoint(m, "Inp32", &Inp32) &&
           ResolveEntryPoint(m, "DlPortReadPortUchar", &DlPortReadPortUchar) &&
           ResolveEntryPoint(m, "DlPortWritePortUchar", &DlPortWritePortUchar) &&
           ResolveEntryPoint(m, "GetPhysLong", &GetPhysLong) && ResolveEntryPoint(m, "MapPhysToLin", &MapPhysToLin) &&
           ResolveEntryPoint(m, "UnmapPhysicalMemory", &UnmapPhysicalMemory);
  }
};

std::vector<JournalEntry> Ours(const VirtualPortView& view, uint64_t after) {
  std::vector<JournalEntry> ours;
  for (const JournalEntry& e : ReadJournal(view, after)) {
    if (e.processId == GetCurrentProcessId()) ours.push_back(e);
  }
  return ours;
}

TEST(VirtualInpOutTest, OpensTheSharedMachineAtTheFirstCallAndClosesItAtRelease) {
  VirtualPortView view{};
  ASSERT_EQ(OpenVirtualPort(kVirtualPortCreate, &view), kVirtualPortOk);
  ResetVirtualPort(view);
  const uint64_t start = JournalTotal(view);
  InpOutLibrary inpout;
  ASSERT_TRUE(inpout.Load());
  EXPECT_TRUE(Ours(view, start).empty()) << "loading alone touches nothing";

  // A port call before anyone asked about the driver works, as with InpOut.
  EXPECT_EQ(inpout.DlPortReadPortUchar(0xD012), 0xC5) << "the card's power-on control";
  EXPECT_EQ(inpout.IsInpOutDriverOpen(), TRUE);
  inpout.DlPortWritePortUchar(0xD010, 0xA5);
  EXPECT_EQ(PeekPortRegisters(view, kCardPort).data, 0xA5);
  // The signed forms: 0xD010 is a negative short.
  inpout.Out32(static_cast<short>(0xD010), 0x13C);
  EXPECT_EQ(inpout.Inp32(static_cast<short>(0xD010)), 0x3C);
  inpout.DlPortWritePortUchar(0x278, 0x42);
  EXPECT_EQ(PeekPortRegisters(view, 1).data, 0x42);
  EXPECT_EQ(inpout.DlPortReadPortUchar(0x3BC), 0xFF) << "no register there: the bus floats high";

  DWORD value = 0;
  EXPECT_EQ(inpout.GetPhysLong(reinterpret_cast<PBYTE>(0x408), &value), TRUE);
  EXPECT_EQ(value, 0x02780378u);
  EXPECT_EQ(inpout.GetPhysLong(reinterpret_cast<PBYTE>(0x4FD), &value), FALSE);
  HANDLE memory = nullptr;
  const PBYTE bytes = inpout.MapPhysToLin(reinterpret_cast<PBYTE>(0x40A), 2, &memory);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0] | bytes[1] << 8, 0x278);
  EXPECT_EQ(inpout.UnmapPhysicalMemory(memory, bytes), TRUE);

  inpout.module.Close();
  const std::vector<JournalEntry> ours = Ours(view, start);
  ASSERT_GE(ours.size(), 3u);
  EXPECT_EQ(ours.front().kind, kJournalInpOutOpen);
  EXPECT_EQ(ours.back().kind, kJournalInpOutRelease);
  int writes = 0;
  for (const JournalEntry& e : ours) {
    if (e.kind == kJournalPortWrite) ++writes;
    EXPECT_NE(e.kind, kJournalInitialize) << "InpOut's interface has no initialise call";
  }
  EXPECT_EQ(writes, 3);
  CloseVirtualPort(&view);
}

}  // namespace
