// Recording stand-ins for LoadPortIoDriver and the driver's access operations.
#include "tests/port/recording_driver.h"

#include <cstdio>

#include "port/port_io_driver.h"

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

int32_t ReadPortValue(uint16_t port, uint32_t* value, uint8_t size) {
  if (size != 1) driver.calls.push_back("wrong size");
  driver.calls.push_back(Hex("read", port));
  if (!driver.bound || port == driver.failReadAt) return 0;
  *value = driver.registers[port];
  return 1;
}

int32_t WritePortValue(uint16_t port, uint32_t value, uint8_t size) {
  if (size != 1) driver.calls.push_back("wrong size");
  driver.calls.push_back(Hex("write", port, value));
  if (!driver.bound || port == driver.failWriteAt) return 0;
  driver.registers[port] = value;
  return 1;
}

int32_t ReadPhysicalLong(uint32_t address, uint32_t* value) {
  driver.calls.push_back(Hex("phys", address));
  if (!driver.bound || address == driver.failPhysicalAt) return 0;
  *value = driver.physical[address];
  return 1;
}
