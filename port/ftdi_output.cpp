// The FTDI output: choosing the device, bit-bang mode, one write per LED
// byte, and the way back after an unplug.
#include "port/ftdi_output.h"

#include <vector>

#include "port/ftdi_library.h"

namespace {

constexpr uint8_t kLedsDark = 0;

// The open device; while it is away, device is closed and serial kept.
FtdiHandle device;
std::string serial;
uint32_t deviceType = 0;
std::string missingEntry;

const char* TypeName(uint32_t type) {
  switch (type) {
    case kFtdiTypeBm:
      return "FT232B";
    case kFtdiTypeAm:
      return "FT8U232AM";
    case kFtdiType100Ax:
      return "FT8U100AX";
    case kFtdiType2232C:
      return "FT2232C";
    case kFtdiType232R:
      return "FT232R";
    case kFtdiType2232H:
      return "FT2232H";
    case kFtdiType4232H:
      return "FT4232H";
    case kFtdiType232H:
      return "FT232H";
    case kFtdiTypeX:
      return "FT-X";
    default:
      return nullptr;
  }
}

// Bit-bang mode, then the byte; nothing is left open when a step fails.
int32_t TakeDevice(const FtdiDevice& listed, uint8_t byte) {
  if (listed.openElsewhere) return kFtdiOutputOpenElsewhere;
  if (!OpenFtdiDevice(listed.serial, &device)) return kFtdiOutputNotOpened;
  if (!SetFtdiBitBang(device)) {
    CloseFtdiDevice(&device);
    return kFtdiOutputNoBitBang;
  }
  if (!WriteFtdiByte(device, byte)) {
    CloseFtdiDevice(&device);
    return kFtdiOutputNotWritten;
  }
  serial = listed.serial;
  deviceType = listed.type;
  return kFtdiOutputOk;
}

// The listed device that match accepts, or null.
template <typename Match>
const FtdiDevice* FindListed(const std::vector<FtdiDevice>& devices, Match match) {
  for (const FtdiDevice& listed : devices) {
    if (match(listed)) return &listed;
  }
  return nullptr;
}

int32_t LoadLibrary() {
  missingEntry.clear();
  switch (LoadFtdiLibrary(&missingEntry)) {
    case kFtdiLibraryOk:
      return kFtdiOutputOk;
    case kFtdiLibraryIncomplete:
      return kFtdiOutputLibraryLacks;
    default:
      return kFtdiOutputNoLibrary;
  }
}

}  // namespace

int32_t OpenFtdiOutput(const std::string& wanted) {
  CloseFtdiOutput();
  int32_t status = LoadLibrary();
  if (status != kFtdiOutputOk) {
    UnloadFtdiLibrary();
    return status;
  }
  std::vector<FtdiDevice> devices;
  const FtdiDevice* listed = nullptr;
  if (ListFtdiDevices(&devices)) {
    listed = FindListed(devices, [&](const FtdiDevice& d) { return wanted.empty() || d.serial == wanted; });
  }
  if (listed != nullptr) {
    status = TakeDevice(*listed, kLedsDark);
  } else {
    const bool someOpenElsewhere =
        FindListed(devices, [](const FtdiDevice& d) { return d.openElsewhere && d.serial.empty(); }) != nullptr;
    status = someOpenElsewhere ? kFtdiOutputNotListedOrOpenElsewhere : kFtdiOutputNotListed;
  }
  if (status != kFtdiOutputOk) UnloadFtdiLibrary();
  return status;
}

bool FindFtdiOutput() {
  CloseFtdiOutput();
  std::vector<FtdiDevice> devices;
  const FtdiDevice* listed = nullptr;
  if (LoadLibrary() == kFtdiOutputOk && ListFtdiDevices(&devices)) {
    listed = FindListed(devices, [](const FtdiDevice& d) { return d.description.rfind(kFtdiOwnDescription, 0) == 0; });
  }
  if (listed != nullptr && TakeDevice(*listed, kLedsDark) == kFtdiOutputOk) return true;
  UnloadFtdiLibrary();
  return false;
}

const std::string& FtdiOutputMissingEntry() { return missingEntry; }

std::string FtdiOutputLabel() {
  const char* name = TypeName(deviceType);
  const std::string type = name != nullptr ? name : "type " + std::to_string(deviceType);
  return "FTDI " + type + " " + serial;
}

int32_t WriteFtdiLeds(uint8_t byte) { return WriteFtdiByte(device, byte) ? kFtdiOutputOk : kFtdiOutputNotWritten; }

void LoseFtdiOutput() { CloseFtdiDevice(&device); }

bool RetryFtdiOutput(uint8_t byte) {
  if (serial.empty()) return false;
  std::vector<FtdiDevice> devices;
  if (!ListFtdiDevices(&devices)) return false;
  const FtdiDevice* listed = FindListed(devices, [](const FtdiDevice& d) { return d.serial == serial; });
  return listed != nullptr && TakeDevice(*listed, byte) == kFtdiOutputOk;
}

void CloseFtdiOutput() {
  if (device.handle != nullptr) {
    // Leaving bit-bang mode would give the pins back to the UART, whose idle
    // levels light LEDs; so the device stays in it, dark.
    WriteFtdiByte(device, kLedsDark);
    CloseFtdiDevice(&device);
  }
  serial.clear();
  UnloadFtdiLibrary();
}
