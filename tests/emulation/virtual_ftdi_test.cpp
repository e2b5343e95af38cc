// Our ftd2xx.dll as a program meets it, loaded for real: the device list,
// opening, bit modes and the pins, closing, unplugging, the journal, other
// processes of either build on the same devices, and the variant without
// FT_Write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emulation/ftdi/virtual_ftdi_view_win.h"
#include "tests/emulation/ftdi_library.h"
#include "tools/process/started_process_win.h"

namespace {

constexpr char kBoardSerial[] = "A50285BI";
constexpr char kCableSerial[] = "A10K7T3X";

// The library takes its strings through PVOID.
PVOID Text(const char* text) { return const_cast<char*>(text); }

std::string CurrentFolder() {
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof folder, folder);
  return folder;
}

struct Listed {
  DWORD flags;
  DWORD type;
  DWORD id;
  DWORD locId;
  std::string serial;
  std::string description;
  FT_HANDLE handle;
};

class VirtualFtdiTest : public testing::Test {
 protected:
  void SetUp() override {
    // Held open for the test, so that the library's machine is this one.
    ASSERT_EQ(OpenVirtualFtdi(kVirtualFtdiCreate, &view), kVirtualFtdiOk);
    PowerOnVirtualFtdi(view);
    start = FtdiJournalTotal(view);
    ASSERT_TRUE(LoadFtdiLibrary(kVirtualFtdiFolder, &ftdi));
  }
  void TearDown() override {
    FreeFtdiLibrary(&ftdi);
    CloseVirtualFtdi(&view);
  }

  FT_HANDLE Open(const char* serial) {
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(ftdi.OpenEx(Text(serial), kFtOpenBySerialNumber, &handle), kFtOk) << serial;
    return handle;
  }
  FT_STATUS WriteByte(FT_HANDLE handle, UCHAR byte, DWORD* written) { return ftdi.Write(handle, &byte, 1, written); }
  UCHAR PinsRead(FT_HANDLE handle) {
    UCHAR pins = 0xEE;
    EXPECT_EQ(ftdi.GetBitMode(handle, &pins), kFtOk);
    return pins;
  }
  FtdiDevice Board() { return PeekFtdiDevice(view, kFtdiLedBoardSlot).device; }

  // The list as FT_GetDeviceInfoDetail reads it, checked against
  // FT_GetDeviceInfoList on the way.
  std::vector<Listed> List() {
    DWORD count = 99;
    EXPECT_EQ(ftdi.CreateDeviceInfoList(&count), kFtOk);
    std::vector<FT_DEVICE_LIST_INFO_NODE> nodes(kFtdiSlotCount + 1);
    DWORD listedCount = 99;
    EXPECT_EQ(ftdi.GetDeviceInfoList(nodes.data(), &listedCount), kFtOk);
    EXPECT_EQ(listedCount, count);
    std::vector<Listed> list;
    for (DWORD i = 0; i < count; ++i) {
      Listed entry{};
      char serial[kFtSerialNumberSize] = "x";
      char description[kFtDescriptionSize] = "x";
      EXPECT_EQ(ftdi.GetDeviceInfoDetail(i, &entry.flags, &entry.type, &entry.id, &entry.locId, serial, description,
                                         &entry.handle),
                kFtOk);
      entry.serial = serial;
      entry.description = description;
      list.push_back(entry);
      EXPECT_EQ(nodes[i].Flags, entry.flags);
      EXPECT_EQ(nodes[i].LocId, entry.locId);
      EXPECT_EQ(std::string(nodes[i].SerialNumber), entry.serial);
      EXPECT_EQ(nodes[i].ftHandle, entry.handle);
    }
    return list;
  }

  // Entries since the test began.
  std::vector<FtdiJournalEntry> Journal() { return ReadFtdiJournal(view, start); }

  VirtualFtdiView view{};
  FtdiLibrary ftdi{};
  uint64_t start = 0;
};

TEST_F(VirtualFtdiTest, TheListHoldsThePluggedDevicesInSlotOrder) {
  const struct {
    bool cable;
    bool board;
    std::vector<int> slots;
  } rows[] = {
      {false, true, {kFtdiLedBoardSlot}},  // as at power-on
      {true, true, {kFtdiCableSlot, kFtdiLedBoardSlot}},
      {true, false, {kFtdiCableSlot}},
      {false, false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "cable " << row.cable << " board " << row.board);
    PlugVirtualFtdi(view, kFtdiCableSlot, row.cable);
    PlugVirtualFtdi(view, kFtdiLedBoardSlot, row.board);
    const std::vector<Listed> list = List();
    ASSERT_EQ(list.size(), row.slots.size());
    for (size_t i = 0; i < list.size(); ++i) {
      const FtdiSlotIdentity& slot = kFtdiSlots[row.slots[i]];
      EXPECT_EQ(list[i].serial, slot.serialNumber);
      EXPECT_EQ(list[i].description, slot.description);
      EXPECT_EQ(list[i].locId, slot.locationId);
      EXPECT_EQ(list[i].flags, 0u);
      EXPECT_EQ(list[i].type, 5u);  // FT_DEVICE_232R
      EXPECT_EQ(list[i].id, 0x04036001u);
      EXPECT_EQ(list[i].handle, nullptr);
    }
    DWORD flags = 0;
    DWORD type = 0;
    DWORD id = 0;
    DWORD locId = 0;
    char serial[kFtSerialNumberSize];
    char description[kFtDescriptionSize];
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(ftdi.GetDeviceInfoDetail(static_cast<DWORD>(list.size()), &flags, &type, &id, &locId, serial, description,
                                       &handle),
              kFtDeviceNotFound);
  }

  // The list is the one made last: a device plugged since is not in it yet.
  PowerOnVirtualFtdi(view);
  DWORD count = 0;
  ASSERT_EQ(ftdi.CreateDeviceInfoList(&count), kFtOk);
  PlugVirtualFtdi(view, kFtdiCableSlot, true);
  FT_DEVICE_LIST_INFO_NODE nodes[kFtdiSlotCount] = {};
  ASSERT_EQ(ftdi.GetDeviceInfoList(nodes, &count), kFtOk);
  EXPECT_EQ(count, 1u);
  EXPECT_STREQ(nodes[0].SerialNumber, kBoardSerial);
  EXPECT_EQ(List().size(), 2u);
}

TEST_F(VirtualFtdiTest, NullArgumentsAreAnInvalidParameter) {
  const FT_HANDLE board = Open(kBoardSerial);
  DWORD d = 0;
  UCHAR byte = 0;
  char text[kFtDescriptionSize];
  FT_HANDLE h = nullptr;
  FT_DEVICE_LIST_INFO_NODE node{};
  const struct {
    const char* call;
    FT_STATUS status;
  } rows[] = {
      {"FT_CreateDeviceInfoList", ftdi.CreateDeviceInfoList(nullptr)},
      {"FT_GetDeviceInfoList nodes", ftdi.GetDeviceInfoList(nullptr, &d)},
      {"FT_GetDeviceInfoList count", ftdi.GetDeviceInfoList(&node, nullptr)},
      {"FT_GetDeviceInfoDetail flags", ftdi.GetDeviceInfoDetail(0, nullptr, &d, &d, &d, text, text, &h)},
      {"FT_GetDeviceInfoDetail serial", ftdi.GetDeviceInfoDetail(0, &d, &d, &d, &d, nullptr, text, &h)},
      {"FT_GetDeviceInfoDetail handle", ftdi.GetDeviceInfoDetail(0, &d, &d, &d, &d, text, text, nullptr)},
      {"FT_Open", ftdi.Open(0, nullptr)},
      {"FT_OpenEx handle", ftdi.OpenEx(Text(kBoardSerial), kFtOpenBySerialNumber, nullptr)},
      {"FT_OpenEx serial", ftdi.OpenEx(nullptr, kFtOpenBySerialNumber, &h)},
      {"FT_OpenEx description", ftdi.OpenEx(nullptr, kFtOpenByDescription, &h)},
      {"FT_OpenEx unknown flags", ftdi.OpenEx(Text(kBoardSerial), 3, &h)},
      {"FT_GetBitMode", ftdi.GetBitMode(board, nullptr)},
      {"FT_Write count", ftdi.Write(board, &byte, 1, nullptr)},
      {"FT_Write buffer", ftdi.Write(board, nullptr, 1, &d)},
  };
  for (const auto& row : rows) EXPECT_EQ(row.status, kFtInvalidParameter) << row.call;
  EXPECT_EQ(Board().writeCount, 0u);
  EXPECT_EQ(ftdi.Close(board), kFtOk);
}

TEST_F(VirtualFtdiTest, OpensBySerialDescriptionLocationOrIndex) {
  PlugVirtualFtdi(view, kFtdiCableSlot, true);
  const struct {
    const char* what;
    int index;  // FT_Open's, or -1 for FT_OpenEx with flags and argument
    DWORD flags;
    PVOID argument;
    FT_STATUS status;
    int slot;
  } rows[] = {
      {"board by serial", -1, kFtOpenBySerialNumber, Text(kBoardSerial), kFtOk, kFtdiLedBoardSlot},
      {"cable by serial", -1, kFtOpenBySerialNumber, Text(kCableSerial), kFtOk, kFtdiCableSlot},
      {"board by description", -1, kFtOpenByDescription, Text("Pipstack LEDs"), kFtOk, kFtdiLedBoardSlot},
      {"cable by description", -1, kFtOpenByDescription, Text("FT232R USB UART"), kFtOk, kFtdiCableSlot},
      {"board by location", -1, kFtOpenByLocation, reinterpret_cast<PVOID>(uintptr_t{0x0212}), kFtOk,
       kFtdiLedBoardSlot},
      {"the first device", 0, 0, nullptr, kFtOk, kFtdiCableSlot},
      {"the second device", 1, 0, nullptr, kFtOk, kFtdiLedBoardSlot},
      {"no third device", 2, 0, nullptr, kFtDeviceNotFound, kFtdiNoSlot},
      {"a whole description only", -1, kFtOpenByDescription, Text("Pipstack"), kFtDeviceNotFound, kFtdiNoSlot},
      {"serials as written", -1, kFtOpenBySerialNumber, Text("a50285bi"), kFtDeviceNotFound, kFtdiNoSlot},
      {"a description is no serial", -1, kFtOpenBySerialNumber, Text("Pipstack LEDs"), kFtDeviceNotFound, kFtdiNoSlot},
      {"no such location", -1, kFtOpenByLocation, reinterpret_cast<PVOID>(uintptr_t{0x0213}), kFtDeviceNotFound,
       kFtdiNoSlot},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FT_HANDLE handle = nullptr;
    const FT_STATUS status =
        row.index >= 0 ? ftdi.Open(row.index, &handle) : ftdi.OpenEx(row.argument, row.flags, &handle);
    ASSERT_EQ(status, row.status);
    if (status != kFtOk) continue;
    ASSERT_NE(handle, nullptr);
    const FtdiDeviceSnapshot opened = PeekFtdiDevice(view, row.slot);
    EXPECT_TRUE(opened.open);
    EXPECT_EQ(opened.device.openerProcessId, GetCurrentProcessId());
    // Open once at a time, by this process too.
    FT_HANDLE again = nullptr;
    EXPECT_EQ(ftdi.OpenEx(Text(opened.device.serialNumber), kFtOpenBySerialNumber, &again), kFtDeviceNotOpened);
    // Listed with its handle and without its location, as open devices are.
    for (const Listed& entry : List()) {
      if (entry.serial != opened.device.serialNumber) continue;
      EXPECT_EQ(entry.flags, kFtFlagsOpened);
      EXPECT_EQ(entry.handle, handle);
      EXPECT_EQ(entry.locId, 0u);
    }
    EXPECT_EQ(ftdi.Close(handle), kFtOk);
    EXPECT_FALSE(PeekFtdiDevice(view, row.slot).open);
  }
}

// Held by another process, or as if by one outside the machine: the device
// cannot be opened and is listed by its flags alone, until it is let go.
TEST_F(VirtualFtdiTest, ADeviceInUseElsewhereIsFreeOnceLetGo) {
  for (const bool byPeer : {false, true}) {
    SCOPED_TRACE(byPeer ? "held by a peer process" : "the open-elsewhere knob");
    StartedProcess peer;
    if (byPeer) {
      ASSERT_TRUE(peer.Start(PIPSTACK_FTDI_PEER, std::string("hold ") + kBoardSerial, CurrentFolder()));
      for (int i = 0; i < 1000 && !PeekFtdiDevice(view, kFtdiLedBoardSlot).open; ++i) Sleep(10);
      ASSERT_EQ(Board().openerProcessId, peer.Id());
    } else {
      SetFtdiOpenElsewhere(view, kFtdiLedBoardSlot, true);
    }
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(ftdi.OpenEx(Text(kBoardSerial), kFtOpenBySerialNumber, &handle), kFtDeviceNotOpened);
    EXPECT_EQ(ftdi.Open(0, &handle), kFtDeviceNotOpened);
    const std::vector<Listed> list = List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].flags, kFtFlagsOpened);
    EXPECT_EQ(list[0].serial, "");
    EXPECT_EQ(list[0].description, "");
    EXPECT_EQ(list[0].type, 0u);
    EXPECT_TRUE(PeekFtdiDevice(view, kFtdiLedBoardSlot).open);

    if (byPeer) {
      peer.Kill();
    } else {
      SetFtdiOpenElsewhere(view, kFtdiLedBoardSlot, false);
    }
    EXPECT_FALSE(PeekFtdiDevice(view, kFtdiLedBoardSlot).open);
    EXPECT_EQ(List()[0].serial, kBoardSerial);
    ASSERT_EQ(ftdi.OpenEx(Text(kBoardSerial), kFtOpenBySerialNumber, &handle), kFtOk);
    EXPECT_EQ(ftdi.Close(handle), kFtOk);
  }
  // The ended peer never closed it: the next open that asked gave it up.
  int givenUp = 0;
  for (const FtdiJournalEntry& entry : Journal()) {
    if (entry.kind != kFtdiJournalOpenerEnded) continue;
    ++givenUp;
    EXPECT_EQ(entry.slot, kFtdiLedBoardSlot);
    EXPECT_NE(entry.value, GetCurrentProcessId());
  }
  EXPECT_EQ(givenUp, 1);
}

TEST_F(VirtualFtdiTest, BitBangPutsTheLastByteWrittenOnTheOutputs) {
  const struct {
    UCHAR mask;
    UCHAR mode;
    std::vector<UCHAR> bytes;
    UCHAR pins;
  } rows[] = {
      {0xFF, kFtBitModeAsyncBitBang, {0xA5}, 0xA5},
      {0xFF, kFtBitModeAsyncBitBang, {0x00}, 0x00},
      {0x0F, kFtBitModeAsyncBitBang, {0xFF}, 0x0F},  // inputs light nothing
      {0xF0, kFtBitModeAsyncBitBang, {0x3C}, 0x30},
      {0xFF, kFtBitModeAsyncBitBang, {0x01, 0x02, 0x80}, 0x80},
      {0xFF, kFtBitModeSyncBitBang, {0x81}, 0x81},
      {0xFF, kFtBitModeAsyncBitBang, {}, 0x00},  // nothing latched since plug-in
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "mask " << int{row.mask} << " mode " << int{row.mode} << " bytes "
                                    << row.bytes.size());
    PowerOnVirtualFtdi(view);
    const FT_HANDLE board = Open(kBoardSerial);
    ASSERT_EQ(ftdi.SetBitMode(board, row.mask, row.mode), kFtOk);
    if (!row.bytes.empty()) {
      std::vector<UCHAR> bytes = row.bytes;
      DWORD written = 0;
      ASSERT_EQ(ftdi.Write(board, bytes.data(), static_cast<DWORD>(bytes.size()), &written), kFtOk);
      EXPECT_EQ(written, bytes.size());
    }
    EXPECT_EQ(PinsRead(board), row.pins);
    const FtdiDevice device = Board();
    EXPECT_EQ(device.pins, row.pins);
    EXPECT_EQ(device.bitMode, row.mode);
    EXPECT_EQ(device.mask, row.mask);
    EXPECT_EQ(device.writeCount, row.bytes.empty() ? 0u : 1u);
    EXPECT_EQ(device.lastWriteTime != 0, !row.bytes.empty());
    EXPECT_EQ(ftdi.Close(board), kFtOk);
  }
}

// TXD, RTS# and DTR# idle high: LEDs on D0, D2 and D4 light whenever the
// UART has the pins, at plug-in and after a reset.
TEST_F(VirtualFtdiTest, TheUartHasThePinsOutsideBitBang) {
  const FT_HANDLE board = Open(kBoardSerial);
  EXPECT_EQ(PinsRead(board), 0x15);
  DWORD written = 0;
  ASSERT_EQ(WriteByte(board, 0xFF, &written), kFtOk);  // sent as serial data
  EXPECT_EQ(written, 1u);
  EXPECT_EQ(Board().pins, 0x15);
  EXPECT_EQ(Board().writeCount, 1u);

  // Serial data is not latched for bit-bang.
  ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  EXPECT_EQ(PinsRead(board), 0x00);
  ASSERT_EQ(WriteByte(board, 0x60, &written), kFtOk);
  ASSERT_EQ(ftdi.SetBitMode(board, 0x00, kFtBitModeReset), kFtOk);
  EXPECT_EQ(PinsRead(board), 0x15);
  EXPECT_EQ(Board().bitMode, kFtBitModeReset);
  // Back in bit-bang the latched byte is on the pins again.
  ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  EXPECT_EQ(PinsRead(board), 0x60);
  EXPECT_EQ(ftdi.Close(board), kFtOk);
}

TEST_F(VirtualFtdiTest, BitModesTheDeviceLacksOrRefusesChangeNothing) {
  const struct {
    bool refuses;
    UCHAR mode;
    FT_STATUS status;
  } rows[] = {
      {false, 0x02, kFtInvalidParameter},  // MPSSE: not on an FT232R
      {false, 0x08, kFtInvalidParameter},  // MCU host bus emulation
      {true, kFtBitModeAsyncBitBang, kFtOtherError},
      {true, kFtBitModeSyncBitBang, kFtOtherError},
      {true, kFtBitModeReset, kFtOk},  // the UART it still gives back
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "refuses " << row.refuses << " mode " << int{row.mode});
    PowerOnVirtualFtdi(view);
    const FT_HANDLE board = Open(kBoardSerial);
    ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
    DWORD written = 0;
    ASSERT_EQ(WriteByte(board, 0x5A, &written), kFtOk);
    SetFtdiRefusesBitBang(view, kFtdiLedBoardSlot, row.refuses);
    EXPECT_EQ(ftdi.SetBitMode(board, 0x0F, row.mode), row.status);
    const FtdiDevice device = Board();
    if (row.status == kFtOk) {
      EXPECT_EQ(device.pins, 0x15);
    } else {
      EXPECT_EQ(device.pins, 0x5A);
      EXPECT_EQ(device.mask, 0xFF);
      EXPECT_EQ(device.bitMode, kFtBitModeAsyncBitBang);
    }
    EXPECT_EQ(ftdi.Close(board), kFtOk);
  }
}

TEST_F(VirtualFtdiTest, CloseKeepsTheModeAndPinsAndEndsTheHandle) {
  const FT_HANDLE board = Open(kBoardSerial);
  ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  DWORD written = 0;
  ASSERT_EQ(WriteByte(board, 0x5A, &written), kFtOk);
  ASSERT_EQ(ftdi.Close(board), kFtOk);
  const FtdiDeviceSnapshot closed = PeekFtdiDevice(view, kFtdiLedBoardSlot);
  EXPECT_FALSE(closed.open);
  EXPECT_EQ(closed.device.pins, 0x5A);
  EXPECT_EQ(closed.device.bitMode, kFtBitModeAsyncBitBang);

  UCHAR byte = 0;
  for (const FT_HANDLE handle : {board, FT_HANDLE{}, reinterpret_cast<FT_HANDLE>(uintptr_t{0x1234})}) {
    SCOPED_TRACE(testing::Message() << handle);
    EXPECT_EQ(ftdi.SetBitMode(handle, 0xFF, kFtBitModeAsyncBitBang), kFtInvalidHandle);
    EXPECT_EQ(ftdi.GetBitMode(handle, &byte), kFtInvalidHandle);
    EXPECT_EQ(ftdi.Write(handle, &byte, 1, &written), kFtInvalidHandle);
    EXPECT_EQ(ftdi.Close(handle), kFtInvalidHandle);
  }
  EXPECT_EQ(Board().writeCount, 1u);

  // Opened again, the device is as it was left.
  const FT_HANDLE again = Open(kBoardSerial);
  EXPECT_NE(again, board);
  EXPECT_EQ(PinsRead(again), 0x5A);
  EXPECT_EQ(ftdi.Close(again), kFtOk);
}

TEST_F(VirtualFtdiTest, AnUnplugDropsTheHandleAndAReplugStartsInUartMode) {
  const FT_HANDLE board = Open(kBoardSerial);
  ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  DWORD written = 0;
  ASSERT_EQ(WriteByte(board, 0xC3, &written), kFtOk);

  PlugVirtualFtdi(view, kFtdiLedBoardSlot, false);
  EXPECT_EQ(Board().pins, 0x00) << "no power, no light";
  EXPECT_TRUE(List().empty());
  // Gone and back: the old handle stays dead.
  for (const bool replugged : {false, true}) {
    SCOPED_TRACE(replugged ? "replugged" : "unplugged");
    PlugVirtualFtdi(view, kFtdiLedBoardSlot, replugged);
    written = 7;
    EXPECT_EQ(WriteByte(board, 0x3C, &written), kFtIoError);
    EXPECT_EQ(written, 0u);
    UCHAR pins = 0;
    EXPECT_EQ(ftdi.GetBitMode(board, &pins), kFtIoError);
    EXPECT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtIoError);
    EXPECT_EQ(Board().writeCount, 1u);
  }
  const FtdiDeviceSnapshot back = PeekFtdiDevice(view, kFtdiLedBoardSlot);
  EXPECT_FALSE(back.open);
  EXPECT_EQ(back.device.bitMode, kFtBitModeReset);
  EXPECT_EQ(back.device.pins, 0x15);

  // Opened anew while the dead handle is still held; that one closes apart.
  const FT_HANDLE again = Open(kBoardSerial);
  EXPECT_EQ(ftdi.Close(board), kFtOk);
  EXPECT_TRUE(PeekFtdiDevice(view, kFtdiLedBoardSlot).open);
  ASSERT_EQ(ftdi.SetBitMode(again, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  ASSERT_EQ(WriteByte(again, 0x3C, &written), kFtOk);
  EXPECT_EQ(Board().pins, 0x3C);
  EXPECT_EQ(ftdi.Close(again), kFtOk);
}

TEST_F(VirtualFtdiTest, TheJournalRecordsEachCallWithWhatItAnswered) {
  FT_HANDLE none = nullptr;
  ASSERT_EQ(ftdi.Open(3, &none), kFtDeviceNotFound);
  const FT_HANDLE board = Open(kBoardSerial);
  ASSERT_EQ(ftdi.SetBitMode(board, 0xFF, kFtBitModeAsyncBitBang), kFtOk);
  DWORD written = 0;
  ASSERT_EQ(WriteByte(board, 0x00, &written), kFtOk);
  ASSERT_EQ(ftdi.Close(board), kFtOk);

  const struct {
    uint16_t kind;
    int8_t slot;
    uint32_t value;
    uint32_t detail;
    uint32_t status;
  } expected[] = {
      {kFtdiJournalOpen, kFtdiNoSlot, 3, 0, kFtDeviceNotFound},
      {kFtdiJournalOpenEx, kFtdiLedBoardSlot, kFtOpenBySerialNumber, 0, kFtOk},
      {kFtdiJournalSetBitMode, kFtdiLedBoardSlot, kFtBitModeAsyncBitBang, 0xFF, kFtOk},
      {kFtdiJournalWrite, kFtdiLedBoardSlot, 0x00, 1, kFtOk},
      {kFtdiJournalClose, kFtdiLedBoardSlot, 0, 0, kFtOk},
  };
  const std::vector<FtdiJournalEntry> journal = Journal();
  ASSERT_EQ(journal.size(), std::size(expected));
  for (size_t i = 0; i < journal.size(); ++i) {
    SCOPED_TRACE(i);
    const FtdiJournalEntry& e = journal[i];
    EXPECT_EQ(e.sequence, start + 1 + i);
    EXPECT_EQ(e.kind, expected[i].kind);
    EXPECT_EQ(e.slot, expected[i].slot);
    EXPECT_EQ(e.value, expected[i].value);
    EXPECT_EQ(e.detail, expected[i].detail);
    EXPECT_EQ(e.status, expected[i].status);
    EXPECT_EQ(e.processId, GetCurrentProcessId());
    if (i > 0) {
      EXPECT_GE(e.time, journal[i - 1].time);
    }
  }
  // The write's time is the device's.
  EXPECT_EQ(Board().lastWriteTime, journal[3].time);
  EXPECT_GT(view.machine->timerFrequency, 0);
  EXPECT_EQ(FtdiJournalTotal(view), start + std::size(expected));
}

TEST_F(VirtualFtdiTest, AnOldJournalEntryGivesWayToNewOnes) {
  const FT_HANDLE board = Open(kBoardSerial);
  DWORD written = 0;
  for (uint32_t i = 0; i < kFtdiJournalLength + 10; ++i) ASSERT_EQ(WriteByte(board, 0x01, &written), kFtOk);
  ASSERT_EQ(ftdi.Close(board), kFtOk);
  const uint64_t total = FtdiJournalTotal(view);
  const std::vector<FtdiJournalEntry> held = ReadFtdiJournal(view, 0);
  ASSERT_EQ(held.size(), kFtdiJournalLength);
  EXPECT_EQ(held.front().sequence, total - kFtdiJournalLength + 1);
  EXPECT_EQ(held.back().kind, kFtdiJournalClose);
  EXPECT_EQ(ReadFtdiJournal(view, total - 1).size(), 1u);
  EXPECT_TRUE(ReadFtdiJournal(view, total).empty());
}

TEST_F(VirtualFtdiTest, ALibraryReleasedWithADeviceOpenGivesItUp) {
  Open(kBoardSerial);
  FreeFtdiLibrary(&ftdi);
  EXPECT_FALSE(PeekFtdiDevice(view, kFtdiLedBoardSlot).open);
  const std::vector<FtdiJournalEntry> journal = Journal();
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal.back().kind, kFtdiJournalUnloadRelease);
  EXPECT_EQ(journal.back().slot, kFtdiLedBoardSlot);
}

// The 64-bit and the 32-bit library work on one machine of one layout: a
// peer of either build drives the board that this process watches.
TEST_F(VirtualFtdiTest, ProcessesOfEitherBuildShareTheDevices) {
  const struct {
    const char* build;
    const char* peer;
    UCHAR byte;
  } rows[] = {
      {"the 64-bit build", PIPSTACK_FTDI_PEER64, 0x6C},
      {"the 32-bit build", PIPSTACK_FTDI_PEER32, 0xC6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.build);
    if (GetFileAttributesA(row.peer) == INVALID_FILE_ATTRIBUTES) {
      GTEST_SKIP() << row.peer << " is not built: build ftdi_peer and virtual_ftdi in " << row.build;
    }
    const uint64_t before = FtdiJournalTotal(view);
    StartedProcess peer;
    ASSERT_TRUE(
        peer.Start(row.peer, std::string("write ") + kBoardSerial + " " + std::to_string(row.byte), CurrentFolder()));
    DWORD exitCode = 1;
    ASSERT_TRUE(peer.WaitForExit(30000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(Board().pins, row.byte);
    std::vector<uint16_t> kinds;
    for (const FtdiJournalEntry& e : ReadFtdiJournal(view, before)) {
      if (e.processId != peer.Id()) continue;
      kinds.push_back(e.kind);
      EXPECT_EQ(e.status, kFtOk);
      if (e.kind == kFtdiJournalWrite) {
        EXPECT_EQ(e.value, row.byte);
      }
    }
    const std::vector<uint16_t> calls = {kFtdiJournalOpenEx, kFtdiJournalSetBitMode, kFtdiJournalWrite,
                                         kFtdiJournalClose};
    EXPECT_EQ(kinds, calls);
  }
}

TEST(FtdiNoWriteTest, TheVariantLacksFtWriteAndDrivesTheSameDevices) {
  FtdiLibrary ftdi{};
  EXPECT_FALSE(LoadFtdiLibrary(kFtdiNoWriteFolder, &ftdi));
  ASSERT_NE(ftdi.module, nullptr);
  EXPECT_EQ(ftdi.Write, nullptr);
  ASSERT_NE(ftdi.OpenEx, nullptr);
  ASSERT_NE(ftdi.Close, nullptr);
  EXPECT_NE(ftdi.SetBitMode, nullptr);
  EXPECT_NE(ftdi.CreateDeviceInfoList, nullptr);

  VirtualFtdiView view{};
  ASSERT_EQ(OpenVirtualFtdi(kVirtualFtdiCreate, &view), kVirtualFtdiOk);
  PowerOnVirtualFtdi(view);
  FT_HANDLE board = nullptr;
  EXPECT_EQ(ftdi.OpenEx(Text(kBoardSerial), kFtOpenBySerialNumber, &board), kFtOk);
  EXPECT_TRUE(PeekFtdiDevice(view, kFtdiLedBoardSlot).open);
  EXPECT_EQ(ftdi.Close(board), kFtOk);
  FreeFtdiLibrary(&ftdi);
  CloseVirtualFtdi(&view);
}

}  // namespace
