// Register semantics, physical memory and journal of the emulated PC.
#include "emulation/winio/virtual_machine.h"

#include <atomic>
#include <cstring>

namespace {

enum class Register { kNone, kData, kStatus, kControl, kEcr };

struct Location {
  PortRegisters* registers;
  Register which;
};

Location Find(VirtualMachine* machine, uint16_t port) {
  for (int i = 0; i < kPortCount; ++i) {
    const uint16_t base = kPortBases[i];
    PortRegisters* registers = &machine->ports[i];
    if (port == base + kDataOffset) return {registers, Register::kData};
    if (port == base + kStatusOffset) return {registers, Register::kStatus};
    if (port == base + kControlOffset) return {registers, Register::kControl};
    if (port == base + kEcrOffset) return {registers, Register::kEcr};
  }
  return {nullptr, Register::kNone};
}

// Where length bytes from a physical address sit in the BIOS data area.
// Written so that no sum can wrap around.
bool PhysicalOffset(uint32_t address, uint32_t length, uint32_t* offset) {
  if (address < kBiosDataAreaStart) return false;
  *offset = address - kBiosDataAreaStart;
  return *offset <= kBiosDataAreaSize && length <= kBiosDataAreaSize - *offset;
}

void PowerOnBiosAndPorts(VirtualMachine* machine) {
  machine->biosDataArea.fill(0);
  for (int i = 0; i < kBiosParallelPortWords; ++i) SetBiosPortWord(machine, i, kPowerOnBiosPortWords[i]);
  machine->ports = kPowerOnRegisters;
}

}  // namespace

void PowerOnMachine(VirtualMachine* machine, int64_t timerFrequency) {
  std::memset(static_cast<void*>(machine), 0, sizeof *machine);
  machine->magic = kMachineMagic;
  machine->layout = kMachineLayout;
  machine->timerFrequency = timerFrequency;
  PowerOnBiosAndPorts(machine);
}

void ResetMachine(VirtualMachine* machine) { PowerOnBiosAndPorts(machine); }

bool MachineReadPort(VirtualMachine* machine, uint16_t port, uint8_t size, uint32_t* value) {
  const Location at = Find(machine, port);
  if (at.registers == nullptr || size != 1) return false;
  switch (at.which) {
    case Register::kData:
      *value = at.registers->data;
      break;
    case Register::kStatus:
      *value = at.registers->status;
      break;
    case Register::kControl:
      *value = at.registers->control;
      break;
    case Register::kEcr:
      *value = at.registers->ecr;
      break;
    case Register::kNone:
      return false;
  }
  return true;
}

bool MachineWritePort(VirtualMachine* machine, uint16_t port, uint32_t value, uint8_t size) {
  const Location at = Find(machine, port);
  if (at.registers == nullptr || size != 1) return false;
  const uint8_t byte = static_cast<uint8_t>(value & 0xFF);
  PortRegisters& r = *at.registers;
  switch (at.which) {
    case Register::kData:
      r.data = byte;
      break;
    case Register::kStatus:
      break;  // input lines: a write changes nothing
    case Register::kControl:
      r.control = static_cast<uint8_t>(byte | kControlReservedBits);
      break;
    case Register::kEcr:
      r.ecr = static_cast<uint8_t>((byte & ~kEcrFifoBits) | (r.ecr & kEcrFifoBits));
      break;
    case Register::kNone:
      return false;
  }
  return true;
}

uint8_t* MachinePhysicalBytes(VirtualMachine* machine, uint32_t address, uint32_t length) {
  uint32_t offset = 0;
  return PhysicalOffset(address, length, &offset) ? machine->biosDataArea.data() + offset : nullptr;
}

bool MachineReadPhysical(const VirtualMachine* machine, uint32_t address, uint32_t* value) {
  uint32_t offset = 0;
  if (!PhysicalOffset(address, 4, &offset)) return false;
  const uint8_t* bytes = machine->biosDataArea.data() + offset;
  *value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
  return true;
}

bool MachineWritePhysical(VirtualMachine* machine, uint32_t address, uint32_t value) {
  uint8_t* bytes = MachinePhysicalBytes(machine, address, 4);
  if (bytes == nullptr) return false;
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  return true;
}

uint16_t BiosPortWord(const VirtualMachine* machine, int portIndex) {
  const uint32_t offset = kBiosPortTable - kBiosDataAreaStart + 2 * static_cast<uint32_t>(portIndex);
  return static_cast<uint16_t>(machine->biosDataArea[offset] | machine->biosDataArea[offset + 1] << 8);
}

void SetBiosPortWord(VirtualMachine* machine, int portIndex, uint16_t base) {
  const uint32_t offset = kBiosPortTable - kBiosDataAreaStart + 2 * static_cast<uint32_t>(portIndex);
  machine->biosDataArea[offset] = static_cast<uint8_t>(base & 0xFF);
  machine->biosDataArea[offset + 1] = static_cast<uint8_t>(base >> 8);
}

// A slot's sequence is cleared while the slot is written and set last, so a
// reader that saw the same sequence before and after its copy has a whole
// entry; the total follows, so every entry it counts is complete.
void AppendJournal(VirtualMachine* machine, JournalEntry entry) {
  const uint64_t sequence = machine->journalTotal.load(std::memory_order_relaxed) + 1;
  JournalEntry& slot = machine->journal[(sequence - 1) % kJournalLength];
  __atomic_store_n(&slot.sequence, 0, __ATOMIC_RELAXED);
  std::atomic_thread_fence(std::memory_order_release);
  entry.sequence = 0;
  slot = entry;
  __atomic_store_n(&slot.sequence, sequence, __ATOMIC_RELEASE);
  machine->journalTotal.store(sequence, std::memory_order_release);
}

bool ReadJournalEntry(const VirtualMachine* machine, uint64_t sequence, JournalEntry* entry) {
  const JournalEntry& slot = machine->journal[(sequence - 1) % kJournalLength];
  if (__atomic_load_n(&slot.sequence, __ATOMIC_ACQUIRE) != sequence) return false;
  *entry = slot;
  std::atomic_thread_fence(std::memory_order_acquire);
  return __atomic_load_n(&slot.sequence, __ATOMIC_RELAXED) == sequence;
}
