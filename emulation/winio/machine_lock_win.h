// The lock of the shared machine. Every port access of the program goes
// through it, so it has to cost next to nothing: a named mutex would make
// two trips to the wineserver per LED byte. Writers take a word in the
// section itself; readers copy without taking it and try again when a
// writer was inside, so that a read-only view can read too.
#pragma once

#include <windows.h>

#include <atomic>

#include "emulation/winio/virtual_machine.h"

// Taking and giving back the writers' lock. A lock left by a process that
// ended inside, or held without any change for a second, is taken over: the
// machine is whole between any two of its operations, and one cut short
// leaves at most one half-written entry.
void LockMachine(VirtualMachine* machine);
void UnlockMachine(VirtualMachine* machine);

// One wait for the lock: how long it has lasted, and the writer last seen
// inside with the change count it had then.
struct MachineWait {
  int round = 0;
  uint32_t owner = 0;
  uint32_t count = 0;
  DWORD since = 0;
};
// Waits a little before a reader's next attempt; false when the writer
// inside will never leave, so the reader takes what it has.
bool WaitForWriter(const VirtualMachine* machine, MachineWait* wait);

// Calls copy until it ran while no writer was inside, and returns.
template <typename Copy>
void ReadMachineConsistently(const VirtualMachine* machine, Copy copy) {
  MachineWait wait;
  for (;;) {
    const uint32_t before = machine->changeCount.load(std::memory_order_acquire);
    if ((before & 1) == 0) {
      copy();
      std::atomic_thread_fence(std::memory_order_acquire);
      if (machine->changeCount.load(std::memory_order_relaxed) == before) return;
    }
    if (!WaitForWriter(machine, &wait)) {
      copy();
      return;
    }
  }
}
