// What the emulated FTDI devices do: plugging, opening, bit modes, writes,
// the pins an LED sees, and the journal.
#include "emulation/ftdi/ftdi_machine.h"

#include <cstring>

namespace {

// What an LED on each pin shows: nothing without power; the UART's idle
// outputs in UART mode; in a bit-bang mode the latched byte on the outputs,
// and nothing on the inputs, which no one drives.
void UpdatePins(FtdiDevice* device) {
  if (device->plugged == 0) {
    device->pins = 0;
  } else if (device->bitMode == kFtBitModeReset) {
    device->pins = kFt232rUartIdlePins;
  } else {
    device->pins = static_cast<uint8_t>(device->latch & device->mask);
  }
}

void CopyText(char* destination, size_t size, const char* text) {
  std::strncpy(destination, text, size - 1);
  destination[size - 1] = '\0';
}

void PowerOnDevice(FtdiDevice* device, const FtdiSlotIdentity& identity) {
  std::memset(static_cast<void*>(device), 0, sizeof *device);
  CopyText(device->serialNumber, sizeof device->serialNumber, identity.serialNumber);
  CopyText(device->description, sizeof device->description, identity.description);
  device->type = kFtDevice232R;
  device->id = kFtId232R;
  device->locationId = identity.locationId;
  if (identity.pluggedAtPowerOn) PlugFtdiDevice(device);
}

}  // namespace

void PowerOnFtdiMachine(FtdiMachine* machine, int64_t timerFrequency) {
  std::memset(static_cast<void*>(machine), 0, sizeof *machine);
  machine->magic = kFtdiMachineMagic;
  machine->layout = kFtdiMachineLayout;
  machine->timerFrequency = timerFrequency;
  ResetFtdiDevices(machine);
}

void ResetFtdiDevices(FtdiMachine* machine) {
  for (int slot = 0; slot < kFtdiSlotCount; ++slot) PowerOnDevice(&machine->devices[slot], kFtdiSlots[slot]);
}

void PlugFtdiDevice(FtdiDevice* device) {
  if (device->plugged != 0) return;
  device->plugged = 1;
  device->bitMode = kFtBitModeReset;
  device->mask = 0;
  device->latch = 0;
  CloseFtdiDevice(device);
  UpdatePins(device);
}

void UnplugFtdiDevice(FtdiDevice* device) {
  if (device->plugged == 0) return;
  device->plugged = 0;
  CloseFtdiDevice(device);
  UpdatePins(device);
}

uint32_t OpenFtdiDevice(FtdiMachine* machine, int slot, uint32_t processId, int64_t processStarted) {
  // Serial 0 names no open: it is skipped when the count wraps.
  if (++machine->lastOpenSerial == 0) ++machine->lastOpenSerial;
  FtdiDevice& device = machine->devices[slot];
  device.openerProcessId = processId;
  device.openerStarted = processStarted;
  device.openSerial = machine->lastOpenSerial;
  return device.openSerial;
}

void CloseFtdiDevice(FtdiDevice* device) {
  device->openerProcessId = 0;
  device->openerStarted = 0;
  device->openSerial = 0;
}

uint32_t SetFtdiBitMode(FtdiDevice* device, uint8_t mask, uint8_t mode) {
  const bool bitBang = mode == kFtBitModeAsyncBitBang || mode == kFtBitModeSyncBitBang;
  if (!bitBang && mode != kFtBitModeReset) return kFtInvalidParameter;
  if (bitBang && device->refusesBitBang != 0) return kFtOtherError;
  device->bitMode = mode;
  device->mask = mask;
  UpdatePins(device);
  return kFtOk;
}

void WriteFtdiBytes(FtdiDevice* device, const uint8_t* bytes, uint32_t count, int64_t time) {
  if (count > 0 && device->bitMode != kFtBitModeReset) device->latch = bytes[count - 1];
  ++device->writeCount;
  device->lastWriteTime = time;
  UpdatePins(device);
}

void AppendFtdiJournal(FtdiMachine* machine, FtdiJournalEntry entry) {
  entry.sequence = ++machine->journalTotal;
  machine->journal[(entry.sequence - 1) % kFtdiJournalLength] = entry;
}
