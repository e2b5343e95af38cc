// The scripted serial devices and FTDI library behind the USB outputs.
#include "tests/fakes/usb_output_fakes.h"

#include <algorithm>

FakeSerial serial;
FakeFtdi ftdi;

void ResetUsbOutputFakes() {
  serial = FakeSerial{};
  ftdi = FakeFtdi{};
}

namespace {

FakeSerialPort* PortOf(const SerialLine& line) { return static_cast<FakeSerialPort*>(line.handle); }

FakeFtdiDevice* DeviceOf(const FtdiHandle& device) { return static_cast<FakeFtdiDevice*>(device.handle); }

}  // namespace

int32_t OpenSerialLine(int32_t number, SerialLine* line) {
  CloseSerialLine(line);
  const auto found = serial.ports.find(number);
  if (found == serial.ports.end() || !found->second.present || found->second.open) return kSerialLineNotOpened;
  FakeSerialPort& port = found->second;
  port.open = true;
  port.openedAt = serial.now;
  port.pending.clear();
  ++port.opens;
  line->handle = &port;
  return kSerialLineOk;
}

void CloseSerialLine(SerialLine* line) {
  if (line->handle != nullptr) PortOf(*line)->open = false;
  line->handle = nullptr;
}

bool WriteSerialLine(const SerialLine& line, const char* bytes, uint32_t size) {
  FakeSerialPort* port = PortOf(line);
  if (port == nullptr || port->failWrites) return false;
  const std::string text(bytes, size);
  port->heard += text;
  const bool awake = serial.now - port->openedAt >= port->bootMs;
  if (awake && !port->answer.empty()) {
    for (size_t at = 0; (at = text.find("?\n", at)) != std::string::npos; at += 2) port->pending += port->answer;
  }
  return true;
}

int32_t ReadSerialLine(const SerialLine& line, char* buffer, uint32_t size) {
  FakeSerialPort* port = PortOf(line);
  if (port == nullptr || port->failWrites) return -1;
  const size_t count = std::min<size_t>(size, port->pending.size());
  port->pending.copy(buffer, count);
  port->pending.erase(0, count);
  return static_cast<int32_t>(count);
}

std::vector<int32_t> ListSerialPorts() {
  std::vector<int32_t> numbers;
  for (const auto& entry : serial.ports) numbers.push_back(entry.first);
  return numbers;
}

uint32_t SerialClockMs() { return serial.now; }

void PauseSerialMs(uint32_t milliseconds) { serial.now += milliseconds; }

FakeFtdiDevice PipstackBoard() {
  FakeFtdiDevice board;
  board.listed = FtdiDevice{false, kFtdiType232R, "A50285BI", "Pipstack LEDs"};
  return board;
}

FakeFtdiDevice SerialCable() {
  FakeFtdiDevice cable;
  cable.listed = FtdiDevice{false, kFtdiType232R, "A10K7T3X", "FT232R USB UART"};
  return cable;
}

int32_t LoadFtdiLibrary(std::string* missing) {
  ftdi.loaded = ftdi.loadStatus == kFtdiLibraryOk;
  if (ftdi.loadStatus == kFtdiLibraryIncomplete) *missing = ftdi.missing;
  return ftdi.loadStatus;
}

void UnloadFtdiLibrary() { ftdi.loaded = false; }

bool ListFtdiDevices(std::vector<FtdiDevice>* devices) {
  devices->clear();
  if (!ftdi.loaded) return false;
  for (const FakeFtdiDevice& device : ftdi.devices) {
    if (device.attached) devices->push_back(device.listed);
  }
  return true;
}

bool OpenFtdiDevice(const std::string& serialNumber, FtdiHandle* device) {
  CloseFtdiDevice(device);
  for (FakeFtdiDevice& candidate : ftdi.devices) {
    if (!ftdi.loaded || !candidate.attached || candidate.listed.serial != serialNumber) continue;
    if (candidate.open || candidate.listed.openElsewhere) return false;
    candidate.open = true;
    device->handle = &candidate;
    return true;
  }
  return false;
}

bool SetFtdiBitBang(const FtdiHandle& device) {
  FakeFtdiDevice* fake = DeviceOf(device);
  if (fake == nullptr || fake->refusesBitBang) return false;
  fake->bitBang = true;
  return true;
}

bool WriteFtdiByte(const FtdiHandle& device, uint8_t byte) {
  FakeFtdiDevice* fake = DeviceOf(device);
  if (fake == nullptr || fake->failWrites || !fake->attached) return false;
  fake->writes.push_back(byte);
  return true;
}

void CloseFtdiDevice(FtdiHandle* device) {
  if (device->handle != nullptr) DeviceOf(*device)->open = false;
  device->handle = nullptr;
}
