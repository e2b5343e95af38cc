// How a process reaches the virtual port's machine: the DLL itself, the LED
// viewer, the tests and the benchmarks open the same named section.
//
// The section lives only while some process holds it open: when the last
// view closes (the last WinIO.dll user shuts down, the viewer ends), the
// machine is gone and the next one starts at power-on. A process that wants
// to watch a run, or to set the machine up before the program starts, keeps
// a view open for as long as it cares.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "emulation/winio/virtual_machine.h"

// Names other processes rely on. The named mutex orders only the opening,
// so that nobody sees a machine that is still being powered on; the
// accesses themselves take the machine's own lock (machine_lock.h).
constexpr char kVirtualPortSectionName[] = "Local\\PipstackVirtualPort";
constexpr char kVirtualPortOpenLockName[] = "Local\\PipstackVirtualPort.Lock";

enum VirtualPortAccess {
  kVirtualPortCreate,     // open, or create at power-on; read-write
  kVirtualPortReadWrite,  // open an existing machine
  kVirtualPortReadOnly,
};

enum VirtualPortStatus : int32_t {
  kVirtualPortOk = 0,
  kVirtualPortNoLock = 1,     // the opening lock could not be created or opened
  kVirtualPortNoSection = 2,  // no machine (and none created)
  kVirtualPortNoView = 3,     // the section could not be mapped
  kVirtualPortWrongLayout = 4,
};

struct VirtualPortView {
  HANDLE section;
  VirtualMachine* machine;
};

int32_t OpenVirtualPort(VirtualPortAccess access, VirtualPortView* view);
// Harmless on a view that is not open.
void CloseVirtualPort(VirtualPortView* view);

// Holds the machine's writers' lock for its scope, on a read-write view. A
// lock left by a process that ended while holding it is taken over.
class VirtualPortLock {
 public:
  explicit VirtualPortLock(const VirtualPortView& view);
  ~VirtualPortLock();
  VirtualPortLock(const VirtualPortLock&) = delete;
  VirtualPortLock& operator=(const VirtualPortLock&) = delete;

 private:
  VirtualMachine* machine_;
};

// Copies that work on any view, a read-only one too; none of them is
// journalled.
PortRegisters PeekPortRegisters(const VirtualPortView& view, int portIndex);
uint16_t PeekBiosPortWord(const VirtualPortView& view, int portIndex);
uint64_t JournalTotal(const VirtualPortView& view);
// The entries still held whose sequence is above afterSequence, oldest first.
std::vector<JournalEntry> ReadJournal(const VirtualPortView& view, uint64_t afterSequence);

// Changes for a read-write view; each is journalled as a reset or a
// physical write by this process.
void ResetVirtualPort(const VirtualPortView& view);
void SetBiosPortBase(const VirtualPortView& view, int portIndex, uint16_t base);

// A journal entry stamped with this process and the current time.
JournalEntry StampedEntry(JournalKind kind, uint32_t address, uint32_t value, uint8_t size, bool succeeded);
