// The emulated PC behind the virtual port: its BIOS data area, its parallel
// ports' registers and a journal of every call, laid out as one block that
// lives in a named shared-memory section (see virtual_port_view.h).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "port/port_registers.h"

// Bump kMachineLayout whenever VirtualMachine changes shape: a process that
// finds another layout in the section refuses to use it.
constexpr uint32_t kMachineMagic = 0x50495056;  // "VPIP"
constexpr uint32_t kMachineLayout = 3;

// Physical memory: the BIOS data area, 0x400..0x4FF, and nothing else.
constexpr uint32_t kBiosDataAreaStart = 0x400;
constexpr uint32_t kBiosDataAreaSize = 0x100;

// Bits that read as set whatever was written: control bits 7..6 are
// reserved, ECR bit 0 says the (never used) FIFO is empty.
constexpr uint8_t kControlReservedBits = 0xC0;
constexpr uint8_t kEcrFifoEmpty = 0x01;
constexpr uint8_t kEcrFifoBits = 0x03;  // full, empty: read-only

struct PortRegisters {
  uint8_t data;
  uint8_t status;
  uint8_t control;  // as read: the reserved bits set
  uint8_t ecr;
};

// The emulated ports: two parallel ports with ECRs on the main board, listed
// by the BIOS as LPT1 and LPT2, and a plug-in card (PCIe or ExpressCard) at
// 0xD010 that the BIOS does not list. The power-on values differ from what
// the program writes at open (0 data, 0x0B control, mode 000 in the ECR) so
// that saving and restoring shows.
constexpr int kPortCount = 3;
constexpr int kCardPort = 2;  // the index of the card, named by its address only
constexpr std::array<uint16_t, kPortCount> kPortBases = {0x378, 0x278, 0xD010};
constexpr std::array<PortRegisters, kPortCount> kPowerOnRegisters = {{
    {0x5A, 0x7F, 0xCC, 0x35},  // ECR mode 001 (PS/2)
    {0xC3, 0x7F, 0xC4, 0x75},  // ECR mode 011 (ECP)
    {0x96, 0x7F, 0xC5, 0x55},  // ECR mode 010 (FIFO)
}};
constexpr int kBiosParallelPortWords = 4;
constexpr std::array<uint16_t, kBiosParallelPortWords> kPowerOnBiosPortWords = {0x378, 0x278, 0, 0};

enum JournalKind : uint16_t {
  kJournalInitialize = 1,
  kJournalShutdown = 2,
  kJournalPhysicalRead = 3,
  kJournalPhysicalWrite = 4,
  kJournalPortRead = 5,
  kJournalPortWrite = 6,
  kJournalMapMemory = 7,
  kJournalUnmapMemory = 8,
  kJournalReset = 9,
  // The InpOut build's counterparts of initialise and shut down: its first
  // call opened the machine, and the library was released.
  kJournalInpOutOpen = 10,
  kJournalInpOutRelease = 11,
};

struct JournalEntry {
  uint64_t sequence;  // 1 for the first entry since power-on
  int64_t time;       // QueryPerformanceCounter ticks
  uint32_t processId;
  uint32_t address;   // port or physical address
  uint32_t value;     // read or written
  uint16_t kind;      // JournalKind
  uint8_t size;       // access width asked for
  uint8_t succeeded;  // what the call answered
};

// Entry n lives at slot (n - 1) % kJournalLength; older ones are overwritten.
constexpr uint32_t kJournalLength = 4096;

// The section is shared by processes that may end at any moment, so the
// lock lives in it: see machine_lock.h.
static_assert(std::atomic<uint32_t>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free,
              "the shared words must work across processes");

struct VirtualMachine {
  uint32_t magic;
  uint32_t layout;
  std::atomic<uint32_t> lockOwner;    // process id of the writer inside, 0 when free
  std::atomic<uint32_t> changeCount;  // odd while a writer is inside
  int64_t timerFrequency;             // QueryPerformanceFrequency, for readers of time stamps
  std::array<uint8_t, kBiosDataAreaSize> biosDataArea;
  std::array<PortRegisters, kPortCount> ports;
  std::atomic<uint64_t> journalTotal;  // entries ever written, so a reader can tell it wrapped
  std::array<JournalEntry, kJournalLength> journal;
};

// The 32-bit and the 64-bit build share one section (a 32-bit meter watched
// by a 64-bit viewer), so the block has the same shape in both.
static_assert(sizeof(JournalEntry) == 32, "journal entries are laid out alike in both builds");
static_assert(offsetof(VirtualMachine, journalTotal) == 296 && offsetof(VirtualMachine, journal) == 304,
              "the machine is laid out alike in both builds");
static_assert(sizeof(VirtualMachine) == 304 + kJournalLength * sizeof(JournalEntry),
              "the machine is laid out alike in both builds");

// Everything at power-on: BIOS words, registers, an empty journal.
void PowerOnMachine(VirtualMachine* machine, int64_t timerFrequency);
// Registers and BIOS words to power-on; the journal goes on.
void ResetMachine(VirtualMachine* machine);

// One register access of the given width (only 1 is emulated). False for
// an address where no register is, or another width.
bool MachineReadPort(VirtualMachine* machine, uint16_t port, uint8_t size, uint32_t* value);
bool MachineWritePort(VirtualMachine* machine, uint16_t port, uint32_t value, uint8_t size);

// 32 bits of physical memory, lowest-addressed byte lowest. False outside
// the BIOS data area.
bool MachineReadPhysical(const VirtualMachine* machine, uint32_t address, uint32_t* value);
bool MachineWritePhysical(VirtualMachine* machine, uint32_t address, uint32_t value);
// Where length bytes of physical memory from address are; null outside.
uint8_t* MachinePhysicalBytes(VirtualMachine* machine, uint32_t address, uint32_t length);

uint16_t BiosPortWord(const VirtualMachine* machine, int portIndex);
void SetBiosPortWord(VirtualMachine* machine, int portIndex, uint16_t base);

// Appends an entry, numbering it; time and process come from the caller.
// Only one writer at a time; readers need no lock (ReadJournalEntry).
void AppendJournal(VirtualMachine* machine, JournalEntry entry);
// Copies entry number sequence; false when its slot holds another entry by
// now or is being written.
bool ReadJournalEntry(const VirtualMachine* machine, uint64_t sequence, JournalEntry* entry);
