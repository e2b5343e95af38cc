// The shared machine's lock: a word in the section holding the writer's
// process id, waited for by spinning, then yielding, then sleeping.
#include "emulation/winio/machine_lock_win.h"

namespace {

// A writer holds the lock for a few hundred instructions, so spinning ends
// most waits; yielding and then sleeping cover a writer that lost its core.
constexpr int kSpinRounds = 64;
constexpr int kYieldRounds = 128;
// Rounds of sleeping between two looks at whether the writer still runs.
constexpr int kSleepRoundsPerCheck = 50;
// A writer that has not moved for this long is taken for gone even if a
// process of its id runs: Wine gives a process id out again at once.
constexpr DWORD kStuckMs = 1000;

void Pause(int round) {
  if (round < kSpinRounds) {
    YieldProcessor();
  } else if (round < kYieldRounds) {
    SwitchToThread();
  } else {
    Sleep(1);
  }
}

bool TimeToCheck(int round) {
  return round >= kYieldRounds && (round - kYieldRounds) % kSleepRoundsPerCheck == kSleepRoundsPerCheck - 1;
}

bool ProcessHasEnded(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// Whether the writer inside will never leave. Remembers whom it saw inside
// and since when, so that a writer that keeps coming and going never counts.
bool WriterIsGone(const VirtualMachine* machine, MachineWait* wait) {
  const uint32_t owner = machine->lockOwner.load(std::memory_order_relaxed);
  const uint32_t count = machine->changeCount.load(std::memory_order_relaxed);
  if (owner == 0) return false;
  if (owner != wait->owner || count != wait->count) {
    wait->owner = owner;
    wait->count = count;
    wait->since = GetTickCount();
  } else if (GetTickCount() - wait->since >= kStuckMs) {
    return true;
  }
  return ProcessHasEnded(owner);
}

}  // namespace

void LockMachine(VirtualMachine* machine) {
  const uint32_t self = GetCurrentProcessId();
  for (MachineWait wait;; ++wait.round) {
    uint32_t owner = 0;
    if (machine->lockOwner.compare_exchange_weak(owner, self, std::memory_order_acquire)) break;
    if (TimeToCheck(wait.round) && WriterIsGone(machine, &wait)) {
      owner = wait.owner;
      if (machine->lockOwner.compare_exchange_strong(owner, self, std::memory_order_acquire)) break;
    }
    Pause(wait.round);
  }
  // Odd while inside. A writer that ended inside left it odd already, and
  // readers have been waiting since; it stays odd until this one is done.
  const uint32_t count = machine->changeCount.load(std::memory_order_relaxed);
  if ((count & 1) == 0) machine->changeCount.store(count + 1, std::memory_order_relaxed);
  std::atomic_thread_fence(std::memory_order_release);
}

void UnlockMachine(VirtualMachine* machine) {
  machine->changeCount.fetch_add(1, std::memory_order_release);
  machine->lockOwner.store(0, std::memory_order_release);
}

bool WaitForWriter(const VirtualMachine* machine, MachineWait* wait) {
  if (TimeToCheck(wait->round) && WriterIsGone(machine, wait)) return false;
  Pause(wait->round++);
  return true;
}
