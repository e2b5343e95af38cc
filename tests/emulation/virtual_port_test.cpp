// The virtual port as other programs meet it: register semantics, BIOS
// words, one machine for every process, and the journal.
#include <gtest/gtest.h>

#include <string>

#include "emulation/winio/virtual_port_view_win.h"
#include "tests/emulation/winio_library.h"

namespace {

// The peer program, started; null handles when it could not be.
PROCESS_INFORMATION StartPeer(const std::string& arguments) {
  std::string command = std::string("\"") + PIPSTACK_PEER + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return PROCESS_INFORMATION{};
  }
  return process;
}

// Waits for a started peer to end; its exit code, or -1.
int FinishPeer(const PROCESS_INFORMATION& process) {
  if (process.hProcess == nullptr) return -1;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

// Runs the peer program to its end; its exit code, or -1.
int RunPeer(const std::string& arguments) { return FinishPeer(StartPeer(arguments)); }

class VirtualPortTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadWinIoLibrary(&winio));
    ASSERT_TRUE(winio.InitializeWinIo());
    ASSERT_EQ(OpenVirtualPort(kVirtualPortReadWrite, &view), kVirtualPortOk);
    ResetVirtualPort(view);
  }
  void TearDown() override {
    CloseVirtualPort(&view);
    if (winio.ShutdownWinIo != nullptr) winio.ShutdownWinIo();
    FreeWinIoLibrary(&winio);
  }
  uint32_t Read(WORD port) {
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(winio.GetPortVal(port, &value, 1)) << std::hex << port;
    return value;
  }
  WinIoLibrary winio{};
  VirtualPortView view{};
};

TEST_F(VirtualPortTest, RegistersReadBackAsTheHardwareWould) {
  const struct {
    WORD port;
    DWORD written;
    uint32_t readBack;
  } rows[] = {
      {0x378, 0x1A5, 0xA5},                                            // only the low byte reaches the port
      {0x278, 0x00, 0x00},  {0x379, 0x00, 0x7F},                       // status: input lines, the write changes nothing
      {0x37A, 0x0B, 0xCB},                                             // control: bits 7..6 read as set
      {0x37A, 0x00, 0xC0},  {0x27A, 0xFF, 0xFF}, {0x77A, 0x15, 0x15},  // ECR: the FIFO bits are read-only, empty set
      {0x77A, 0xFE, 0xFD},  {0x67A, 0x00, 0x01},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.port << " <- " << row.written);
    ResetVirtualPort(view);
    EXPECT_TRUE(winio.SetPortVal(row.port, row.written, 1));
    EXPECT_EQ(Read(row.port), row.readBack);
  }

  DWORD value = 0;
  EXPECT_FALSE(winio.GetPortVal(0x3BC, &value, 1)) << "no port there";
  EXPECT_FALSE(winio.SetPortVal(0x37B, 1, 1));
  EXPECT_FALSE(winio.GetPortVal(0x378, &value, 2)) << "only byte access";
}

TEST_F(VirtualPortTest, PowerOnDiffersFromWhatAnOpenWrites) {
  for (int i = 0; i < kPortCount; ++i) {
    const PortRegisters r = PeekPortRegisters(view, i);
    const WORD base = kPortBases[i];
    EXPECT_EQ(Read(base), r.data);
    EXPECT_EQ(Read(base + 1), r.status);
    EXPECT_EQ(Read(base + 2), r.control);
    EXPECT_EQ(Read(base + 0x402), r.ecr);
    EXPECT_NE(r.data, 0);
    EXPECT_NE(r.control & 0x3F, 0x0B);
    EXPECT_NE(r.ecr & 0xE0, 0) << "mode other than standard";
  }
  winio.SetPortVal(0x378, 0, 1);
  ResetVirtualPort(view);
  EXPECT_EQ(Read(0x378), PeekPortRegisters(view, 0).data);
  EXPECT_NE(Read(0x378), 0u);
}

TEST_F(VirtualPortTest, BiosDataAreaListsTwoPorts) {
  const struct {
    uintptr_t address;
    bool ok;
    DWORD value;
  } rows[] = {
      {0x408, true, 0x02780378}, {0x40A, true, 0x00000278}, {0x40C, true, 0}, {0x40E, true, 0},       {0x4FC, true, 0},
      {0x4FD, false, 0},         {0x3FF, false, 0},         {0, false, 0},    {0xFFFFFFFF, false, 0},
  };
  for (const auto& row : rows) {
    DWORD value = 0x12345678;
    EXPECT_EQ(winio.GetPhysLong(reinterpret_cast<PBYTE>(row.address), &value), row.ok) << std::hex << row.address;
    if (row.ok) {
      EXPECT_EQ(value, row.value) << std::hex << row.address;
    }
  }

  // Changed by another process's view, and through the library itself.
  SetBiosPortBase(view, 1, 0);
  DWORD value = 0;
  ASSERT_TRUE(winio.GetPhysLong(reinterpret_cast<PBYTE>(0x408), &value));
  EXPECT_EQ(value, 0x00000378u);
  ASSERT_TRUE(winio.SetPhysLong(reinterpret_cast<PBYTE>(0x40C), 0x3BC));
  EXPECT_EQ(PeekBiosPortWord(view, 2), 0x3BC);

  HANDLE memory = nullptr;
  PBYTE bytes = winio.MapPhysToLin(reinterpret_cast<PBYTE>(0x408), 8, &memory);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0] | bytes[1] << 8, 0x378);
  EXPECT_TRUE(winio.UnmapPhysicalMemory(memory, bytes));
  EXPECT_EQ(winio.MapPhysToLin(reinterpret_cast<PBYTE>(0x4F8), 16, &memory), nullptr);
}

TEST_F(VirtualPortTest, NothingWorksOutsideInitialisation) {
  winio.ShutdownWinIo();
  DWORD value = 0;
  EXPECT_FALSE(winio.GetPortVal(0x378, &value, 1));
  EXPECT_FALSE(winio.SetPortVal(0x378, 1, 1));
  EXPECT_FALSE(winio.GetPhysLong(reinterpret_cast<PBYTE>(0x408), &value));
  ASSERT_TRUE(winio.InitializeWinIo());
  EXPECT_TRUE(winio.GetPortVal(0x378, &value, 1));
}

TEST_F(VirtualPortTest, EveryProcessSeesTheSameMachine) {
  const uint64_t start = JournalTotal(view);
  EXPECT_EQ(RunPeer("write 0x378 0x42"), 0);
  EXPECT_EQ(PeekPortRegisters(view, 0).data, 0x42);
  EXPECT_EQ(Read(0x378), 0x42u);

  ASSERT_TRUE(winio.SetPortVal(0x27A, 0x04, 1));
  EXPECT_EQ(RunPeer("read 0x27A"), 0xC4);

  // The peer's calls are in the journal under its own process id.
  int peerWrites = 0;
  for (const JournalEntry& e : ReadJournal(view, start)) {
    if (e.kind == kJournalPortWrite && e.address == 0x378 && e.value == 0x42) {
      ++peerWrites;
      EXPECT_NE(e.processId, GetCurrentProcessId());
    }
  }
  EXPECT_EQ(peerWrites, 1);
}

TEST_F(VirtualPortTest, JournalKeepsOrderAndWrapsAround) {
  const uint64_t start = JournalTotal(view);
  constexpr uint32_t kWrites = kJournalLength + 37;
  for (uint32_t i = 0; i < kWrites; ++i) ASSERT_TRUE(winio.SetPortVal(0x378, i, 1));
  DWORD value = 0;
  winio.GetPortVal(0x378, &value, 1);

  const uint64_t total = JournalTotal(view);
  EXPECT_EQ(total, start + kWrites + 1);
  const std::vector<JournalEntry> held = ReadJournal(view, 0);
  ASSERT_EQ(held.size(), kJournalLength);
  EXPECT_EQ(held.front().sequence, total - kJournalLength + 1);
  for (uint32_t i = 0; i < held.size(); ++i) {
    const JournalEntry& e = held[i];
    ASSERT_EQ(e.sequence, held.front().sequence + i);
    if (i > 0) {
      ASSERT_GE(e.time, held[i - 1].time);
    }
    EXPECT_EQ(e.processId, GetCurrentProcessId());
  }
  // The last writes, then the read of the last byte written.
  const JournalEntry& lastWrite = held[held.size() - 2];
  EXPECT_EQ(lastWrite.kind, kJournalPortWrite);
  EXPECT_EQ(lastWrite.value, kWrites - 1);
  EXPECT_EQ(held.back().kind, kJournalPortRead);
  EXPECT_EQ(held.back().value, (kWrites - 1) & 0xFF);

  EXPECT_TRUE(ReadJournal(view, total).empty());
  const std::vector<JournalEntry> lastTwo = ReadJournal(view, total - 2);
  ASSERT_EQ(lastTwo.size(), 2u);
  EXPECT_EQ(lastTwo[0].sequence, total - 1);
}

// Two writers at once and a reader that cannot take the lock: no entry is
// lost or shared, and every copy the reader takes is whole.
TEST_F(VirtualPortTest, ConcurrentWritersAndAReaderStayConsistent) {
  constexpr int kPeerWrites = 500000;
  VirtualPortView reader{};
  ASSERT_EQ(OpenVirtualPort(kVirtualPortReadOnly, &reader), kVirtualPortOk);
  const uint64_t start = JournalTotal(view);

  const PROCESS_INFORMATION peer = StartPeer("burst 0x278 " + std::to_string(kPeerWrites));
  ASSERT_NE(peer.hProcess, nullptr);
  const DWORD self = GetCurrentProcessId();
  // Writing for as long as the peer runs, and looking at the journal now and
  // then through the reader.
  int ours = 0;
  int interleavings = 0;
  for (bool peerRuns = true; peerRuns;) {
    ASSERT_TRUE(winio.SetPortVal(0x378, static_cast<DWORD>(ours), 1));
    if (++ours % 1000 != 0) continue;
    peerRuns = WaitForSingleObject(peer.hProcess, 0) == WAIT_TIMEOUT;
    const std::vector<JournalEntry> seen = ReadJournal(reader, 0);
    for (size_t k = 1; k < seen.size(); ++k) {
      ASSERT_EQ(seen[k].sequence, seen[k - 1].sequence + 1);
      if (seen[k].processId != seen[k - 1].processId) ++interleavings;
    }
    for (const JournalEntry& e : seen) {
      if (e.sequence <= start || e.kind != kJournalPortWrite) continue;
      ASSERT_EQ(e.address, e.processId == self ? 0x378u : 0x278u) << "entry " << e.sequence;
    }
  }
  ASSERT_EQ(FinishPeer(peer), 0);
  EXPECT_GT(interleavings, 0) << "the two writers never overlapped";

  // Ours, the peer's, and the peer's initialisation and shutdown.
  EXPECT_EQ(JournalTotal(view), start + ours + kPeerWrites + 2);
  EXPECT_EQ(PeekPortRegisters(reader, 0).data, (ours - 1) & 0xFF);
  EXPECT_EQ(PeekPortRegisters(reader, 1).data, (kPeerWrites - 1) & 0xFF);
  EXPECT_EQ(view.machine->lockOwner.load(), 0u);
  EXPECT_EQ(view.machine->changeCount.load() % 2, 0u);
  CloseVirtualPort(&reader);
}

// A process that ends while it holds the lock must not stop everyone else.
TEST_F(VirtualPortTest, LockOfAnEndedProcessIsTakenOver) {
  const PROCESS_INFORMATION peer = StartPeer("read 0x378");
  ASSERT_NE(peer.hProcess, nullptr);
  const DWORD ended = peer.dwProcessId;
  ASSERT_EQ(FinishPeer(peer), 0x5A);

  // As the peer would have left it had it ended inside a write.
  view.machine->lockOwner.store(ended);
  view.machine->changeCount.fetch_add(1);

  VirtualPortView reader{};
  ASSERT_EQ(OpenVirtualPort(kVirtualPortReadOnly, &reader), kVirtualPortOk);
  EXPECT_EQ(PeekPortRegisters(reader, 0).data, 0x5A);
  ASSERT_TRUE(winio.SetPortVal(0x378, 0x3C, 1));
  EXPECT_EQ(PeekPortRegisters(reader, 0).data, 0x3C);
  EXPECT_EQ(view.machine->lockOwner.load(), 0u);
  EXPECT_EQ(view.machine->changeCount.load() % 2, 0u);
  CloseVirtualPort(&reader);
}

// Wine gives a process id out again at once, so a lock left behind may name
// a process that runs; one that has not moved for a second is taken over.
TEST_F(VirtualPortTest, LockStuckUnderALivingProcessIdIsTakenOver) {
  view.machine->lockOwner.store(GetCurrentProcessId());
  view.machine->changeCount.fetch_add(1);

  const DWORD start = GetTickCount();
  ASSERT_TRUE(winio.SetPortVal(0x378, 0x66, 1));
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 5000u);
  EXPECT_EQ(PeekPortRegisters(view, 0).data, 0x66);
  EXPECT_EQ(view.machine->lockOwner.load(), 0u);
}

TEST_F(VirtualPortTest, ReadOnlyViewSeesTheMachine) {
  VirtualPortView reader{};
  ASSERT_EQ(OpenVirtualPort(kVirtualPortReadOnly, &reader), kVirtualPortOk);
  ASSERT_TRUE(winio.SetPortVal(0x378, 0x81, 1));
  EXPECT_EQ(PeekPortRegisters(reader, 0).data, 0x81);
  EXPECT_EQ(PeekBiosPortWord(reader, 0), 0x378);
  EXPECT_GT(JournalTotal(reader), 0u);
  EXPECT_GT(reader.machine->timerFrequency, 0);
  CloseVirtualPort(&reader);
}

}  // namespace
