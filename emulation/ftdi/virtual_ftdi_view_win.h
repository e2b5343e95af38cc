// How a process reaches the emulated FTDI devices: our ftd2xx.dll, the LED
// viewer, the tests and the benchmark open the same named section.
//
// The section lives only while some process holds it open: when the last
// view closes, the devices are gone and the next view finds them at
// power-on. A process that wants to watch a run, or to set the devices up
// before the program starts (unplug the board, make it refuse bit-bang),
// keeps a view open for as long as it cares.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "emulation/ftdi/ftdi_machine.h"

// Names other processes rely on. The mutex orders the opening, so that no
// one sees a machine that is still being powered on, and every access after
// it. A kernel mutex costs a trip to the wineserver per call, which is less
// than the USB transfer a real FT_Write waits for; and it is handed on when
// its holder ends inside.
constexpr char kVirtualFtdiSectionName[] = "Local\\PipstackVirtualFtdi";
constexpr char kVirtualFtdiLockName[] = "Local\\PipstackVirtualFtdi.Lock";

enum VirtualFtdiAccess {
  kVirtualFtdiCreate,     // open, or create at power-on; read-write
  kVirtualFtdiReadWrite,  // open an existing machine
  kVirtualFtdiReadOnly,
};

enum VirtualFtdiStatus : int32_t {
  kVirtualFtdiOk = 0,
  kVirtualFtdiNoLock = 1,     // the mutex could not be created or opened
  kVirtualFtdiNoSection = 2,  // no machine (and none created)
  kVirtualFtdiNoView = 3,     // the section could not be mapped
  kVirtualFtdiWrongLayout = 4,
};

struct VirtualFtdiView {
  HANDLE section;
  HANDLE lock;
  FtdiMachine* machine;
};

int32_t OpenVirtualFtdi(VirtualFtdiAccess access, VirtualFtdiView* view);
// Harmless on a view that is not open.
void CloseVirtualFtdi(VirtualFtdiView* view);

// Holds the machine's mutex for its scope, on any open view.
class VirtualFtdiLock {
 public:
  explicit VirtualFtdiLock(const VirtualFtdiView& view);
  ~VirtualFtdiLock();
  VirtualFtdiLock(const VirtualFtdiLock&) = delete;
  VirtualFtdiLock& operator=(const VirtualFtdiLock&) = delete;

 private:
  HANDLE lock_;
};

// A process as the devices know their opener: its id and its creation time.
struct FtdiProcess {
  uint32_t id;
  int64_t started;
};
FtdiProcess ThisFtdiProcess();

// One device as a watcher sees it: the shared record, and whether it is open
// now (by a process that still runs, or by the "open elsewhere" knob).
struct FtdiDeviceSnapshot {
  FtdiDevice device;
  bool open;
};

// Copies that work on any view, a read-only one too; none is journalled.
FtdiDeviceSnapshot PeekFtdiDevice(const VirtualFtdiView& view, int slot);
uint64_t FtdiJournalTotal(const VirtualFtdiView& view);
// The entries still held whose sequence is above afterSequence, oldest first.
std::vector<FtdiJournalEntry> ReadFtdiJournal(const VirtualFtdiView& view, uint64_t afterSequence);

// The knobs, for a read-write view; each is journalled by this process.
// All devices to power-on (the cable unplugged, the LED board plugged, both
// closed, in UART mode, the knobs off); the journal goes on.
void PowerOnVirtualFtdi(const VirtualFtdiView& view);
// An unplug drops the open handles to the device: their writes fail with
// FT_IO_ERROR. A plug-in powers it up in UART mode.
void PlugVirtualFtdi(const VirtualFtdiView& view, int slot, bool plugged);
void SetFtdiRefusesBitBang(const VirtualFtdiView& view, int slot, bool refuses);
void SetFtdiOpenElsewhere(const VirtualFtdiView& view, int slot, bool openElsewhere);

// For the library, under the lock: whether the device's opener still runs,
// and giving up (journalled) every device whose opener has ended.
bool FtdiOpenerRuns(const FtdiDevice& device);
void ReleaseEndedFtdiOpeners(const VirtualFtdiView& view);
// A journal entry stamped with this process and the current time.
FtdiJournalEntry StampedFtdiEntry(FtdiJournalKind kind, int slot, uint32_t value, uint32_t detail, uint32_t status);
