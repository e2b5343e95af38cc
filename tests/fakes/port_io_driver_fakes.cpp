// Recording stand-ins for LoadPortIoDriver, the driver's access operations and
// the library in use.
#include "tests/fakes/port_io_driver_fakes.h"

#include <cstdio>

RecordingDriver driver;

void ResetRecordingDriver() { driver = RecordingDriver{}; }

namespace {

std::string Hex(const char* what, uint32_t a) {
  char text[40];
  std::snprintf(text, sizeof text, "%s %x", what, a);
  return text;
}

std::string Hex(const char* what, uint32_t a, uint32_t b) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %x %x", what, a, b);
  return text;
}

}  // namespace

int32_t LoadPortIoDriver() {
  driver.calls.push_back("load");
  driver.bound = driver.loadStatus == 0;
  return driver.loadStatus;
}

void UnloadPortIoDriver() {
  driver.calls.push_back("unload");
  driver.bound = false;
}

PortIoLibrary PortIoLibraryInUse() { return driver.library; }

bool ReadPortValue(uint16_t port, uint32_t* value, uint8_t size) {
  if (size != 1) driver.calls.push_back("wrong size");
  driver.calls.push_back(Hex("read", port));
  if (!driver.bound || port == driver.failReadAt) return false;
  *value = driver.registers[port];
  return true;
}

bool WritePortValue(uint16_t port, uint32_t value, uint8_t size) {
  if (size != 1) driver.calls.push_back("wrong size");
  driver.calls.push_back(Hex("write", port, value));
  if (!driver.bound || port == driver.failWriteAt) return false;
  driver.registers[port] = value;
  return true;
}

bool ReadPhysicalLong(uint32_t address, uint32_t* value) {
  driver.calls.push_back(Hex("phys", address));
  if (!driver.bound || address == driver.failPhysicalAt) return false;
  *value = driver.physical[address];
  return true;
}
