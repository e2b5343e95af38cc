// The emulated FTDI devices behind our ftd2xx.dll: two USB device slots,
// what an LED on each pin of a device shows, and a journal of every call,
// laid out as one block that lives in a named shared-memory section (see
// virtual_ftdi_view_win.h). Platform-free; the caller holds the machine's
// lock around every function here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "port/d2xx_constants.h"

// Bump kFtdiMachineLayout whenever FtdiMachine changes shape: a process that
// finds another layout in the section refuses to use it.
constexpr uint32_t kFtdiMachineMagic = 0x49445446;  // "FTDI"
constexpr uint32_t kFtdiMachineLayout = 1;

// The slots: an ordinary USB-serial cable, unplugged at power-on, and the LED
// board, plugged. The device list holds the plugged devices in slot order.
constexpr int kFtdiSlotCount = 2;
constexpr int kFtdiCableSlot = 0;
constexpr int kFtdiLedBoardSlot = 1;

struct FtdiSlotIdentity {
  const char* serialNumber;
  const char* description;
  uint32_t locationId;  // the USB port it sits in: the same one at every plug-in
  bool pluggedAtPowerOn;
};

constexpr std::array<FtdiSlotIdentity, kFtdiSlotCount> kFtdiSlots = {{
    {"A10K7T3X", "FT232R USB UART", 0x0211, false},
    {"A50285BI", "Pipstack LEDs", 0x0212, true},
}};

struct FtdiDevice {
  int64_t openerStarted;  // the opener's creation time: Wine gives a process id out again at once
  int64_t lastWriteTime;  // QueryPerformanceCounter at the last successful FT_Write
  uint64_t writeCount;    // successful FT_Write calls since power-on
  char serialNumber[kFtSerialNumberSize];
  char description[kFtDescriptionSize];
  uint32_t type;  // FT_DEVICE
  uint32_t id;    // vendor and product id
  uint32_t locationId;
  uint32_t openerProcessId;  // 0 while no process has it open
  uint32_t openSerial;       // names the open in progress; its handle carries it
  uint8_t plugged;
  uint8_t refusesBitBang;  // a knob: FT_SetBitMode into a bit-bang mode fails
  uint8_t openElsewhere;   // a knob: as if a process outside the machine held it
  uint8_t bitMode;         // FT_SetBitMode's last accepted mode
  uint8_t mask;            // and its direction mask, 1 = output
  uint8_t latch;           // the last byte written in a bit-bang mode
  uint8_t pins;            // what an LED on each of D0..D7 shows, bit n for Dn
  uint8_t reserved[5];
};

enum FtdiJournalKind : uint16_t {
  // The library's calls, by the process that made them; status is the
  // FT_STATUS it answered.
  kFtdiJournalCreateList = 1,  // value: devices listed
  kFtdiJournalGetDetail = 2,   // value: the index asked for; slot: its device
  kFtdiJournalGetList = 3,     // value: devices listed
  kFtdiJournalOpen = 4,        // FT_Open. value: the index; slot: the device opened
  kFtdiJournalOpenEx = 5,      // value: the flags; slot: the device opened
  kFtdiJournalSetBitMode = 6,  // value: the mode; detail: the mask
  kFtdiJournalGetBitMode = 7,  // value: the pins read
  kFtdiJournalWrite = 8,       // value: the last byte; detail: bytes written
  kFtdiJournalClose = 9,
  // Devices given up without FT_Close: by a library unloaded with it open,
  // and (noticed by the next call that asks) by a process that ended.
  kFtdiJournalUnloadRelease = 10,
  kFtdiJournalOpenerEnded = 11,  // value: the process that held it
  // The knobs of tests and demos (virtual_ftdi_view_win.h).
  kFtdiJournalPowerOn = 12,
  kFtdiJournalPlug = 13,
  kFtdiJournalUnplug = 14,
  kFtdiJournalRefuseBitBang = 15,  // value: 1 on, 0 off
  kFtdiJournalOpenElsewhere = 16,  // value: 1 on, 0 off
};

constexpr int8_t kFtdiNoSlot = -1;

struct FtdiJournalEntry {
  uint64_t sequence;  // 1 for the first entry since the machine was made
  int64_t time;       // QueryPerformanceCounter ticks
  uint32_t processId;
  uint32_t value;
  uint32_t detail;
  uint32_t status;  // FT_STATUS; 0 for the knobs
  uint16_t kind;    // FtdiJournalKind
  int8_t slot;      // kFtdiNoSlot when no device was reached
  uint8_t reserved[5];
};

// Entry n lives at slot (n - 1) % kFtdiJournalLength; older ones are
// overwritten.
constexpr uint32_t kFtdiJournalLength = 4096;

struct FtdiMachine {
  uint32_t magic;
  uint32_t layout;
  int64_t timerFrequency;   // QueryPerformanceFrequency, for readers of time stamps
  uint32_t lastOpenSerial;  // kept over a power-on, so that no old handle names a new open
  uint32_t reserved;
  std::array<FtdiDevice, kFtdiSlotCount> devices;
  uint64_t journalTotal;  // entries ever written, so a reader can tell it wrapped
  std::array<FtdiJournalEntry, kFtdiJournalLength> journal;
};

// A 32-bit program and a 64-bit viewer share one section, so the block has
// the same shape in both builds.
static_assert(sizeof(FtdiDevice) == 136, "devices are laid out alike in both builds");
static_assert(sizeof(FtdiJournalEntry) == 40, "journal entries are laid out alike in both builds");
static_assert(offsetof(FtdiMachine, devices) == 24 && offsetof(FtdiMachine, journalTotal) == 296 &&
                  offsetof(FtdiMachine, journal) == 304,
              "the machine is laid out alike in both builds");
static_assert(sizeof(FtdiMachine) == 304 + kFtdiJournalLength * sizeof(FtdiJournalEntry),
              "the machine is laid out alike in both builds");

// Everything at power-on: the slots as kFtdiSlots has them, an empty journal.
void PowerOnFtdiMachine(FtdiMachine* machine, int64_t timerFrequency);
// The devices to power-on; the journal and the open serials go on.
void ResetFtdiDevices(FtdiMachine* machine);

// A device arriving powers up in UART mode; one leaving drops every open
// handle to it and lights nothing. Either is a no-op when it is so already.
void PlugFtdiDevice(FtdiDevice* device);
void UnplugFtdiDevice(FtdiDevice* device);

// Marks device open by a process (its id and creation time); the serial its
// handle will carry.
uint32_t OpenFtdiDevice(FtdiMachine* machine, int slot, uint32_t processId, int64_t processStarted);
void CloseFtdiDevice(FtdiDevice* device);

// FT_SetBitMode on an open, plugged device: the status it answers. Reset and
// the two bit-bang modes an FT232R has are emulated; any other mode is an
// invalid parameter, and a device that refuses bit-bang answers
// FT_OTHER_ERROR and stays as it was.
uint32_t SetFtdiBitMode(FtdiDevice* device, uint8_t mask, uint8_t mode);
// FT_Write of count bytes: in a bit-bang mode each goes onto the output pins
// in turn, so the last one stays; in UART mode they leave as serial data on
// TXD, which idles high again after them.
void WriteFtdiBytes(FtdiDevice* device, const uint8_t* bytes, uint32_t count, int64_t time);

// Appends an entry, numbering it.
void AppendFtdiJournal(FtdiMachine* machine, FtdiJournalEntry entry);
// The entries still held whose sequence is above afterSequence, oldest first:
// how many, and each through copy(entry).
template <typename Copy>
void ForEachFtdiJournalEntry(const FtdiMachine& machine, uint64_t afterSequence, Copy copy) {
  const uint64_t total = machine.journalTotal;
  const uint64_t oldestHeld = total > kFtdiJournalLength ? total - kFtdiJournalLength + 1 : 1;
  for (uint64_t sequence = afterSequence + 1 > oldestHeld ? afterSequence + 1 : oldestHeld; sequence <= total;
       ++sequence) {
    copy(machine.journal[(sequence - 1) % kFtdiJournalLength]);
  }
}
