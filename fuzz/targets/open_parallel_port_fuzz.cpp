// Fuzz target: OpenParallelPort with any port name over a recording driver
// whose BIOS words, register contents and failing call come from the input;
// then one LED byte and the close. Checks the status names the step that
// failed, an open port is set up as the LEDs need it, and close puts back
// every register it could write.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/text_number.h"
#include "fuzz/targets/fuzz_check.h"
#include "port/parallel_port.h"
#include "port/port_number.h"
#include "port/port_registers.h"
#include "tests/fakes/port_io_driver_fakes.h"

namespace {

// Input layout: flags, four BIOS words, then data/control/ECR contents, the LED byte, the name.
constexpr size_t kHeader = 1 + 8 + 3 + 1;

struct Setup {
  bool loadFails;
  bool physicalFails;
  int readFails;   // 0 none, 1 ECR, 2 data, 3 control
  int writeFails;  // the same
  std::array<uint16_t, 4> words;
  std::array<uint8_t, 3> contents;  // data, control, ECR before the open
  uint8_t ledByte;
};

Setup ReadSetup(const uint8_t* data) {
  Setup s{};
  s.loadFails = (data[0] & 0x01) != 0;
  s.physicalFails = (data[0] & 0x02) != 0;
  s.readFails = (data[0] >> 2) & 3;
  s.writeFails = (data[0] >> 4) & 3;
  for (size_t i = 0; i < 4; ++i) s.words[i] = static_cast<uint16_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
  for (size_t i = 0; i < 3; ++i) s.contents[i] = data[9 + i];
  s.ledByte = data[12];
  return s;
}

// The status the open must give, worked out step by step from the setup.
// The recording driver fails every access at its fail address, which is 0
// when no failure was chosen: a register that wrapped round to address 0
// fails then too.
int32_t ExpectedStatus(const Setup& s, int32_t number, uint16_t base, const std::array<uint16_t, 3>& ecrDataControl) {
  if (number < 1 || number > 4) return 2;
  if (s.loadFails) return 3;
  if (s.physicalFails || base == 0) return 5;
  const uint16_t readFailsAt = s.readFails != 0 ? ecrDataControl[s.readFails - 1] : 0;
  const uint16_t writeFailsAt = s.writeFails != 0 ? ecrDataControl[s.writeFails - 1] : 0;
  for (int step = 0; step < 3; ++step) {
    if (ecrDataControl[step] == readFailsAt) return 6 + step;
  }
  for (int step = 0; step < 3; ++step) {
    if (ecrDataControl[step] == writeFailsAt) return 9 + step;
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  const Setup s = ReadSetup(data);
  std::unique_ptr<char[]> name(new char[size - kHeader + 1]);
  std::memcpy(name.get(), data + kHeader, size - kHeader);
  name[size - kHeader] = '\0';

  ResetRecordingDriver();
  ResetPortState();
  driver.loadStatus = s.loadFails ? 4 : 0;
  for (uint32_t n = 0; n < 4; ++n) {
    const uint32_t next = n + 1 < 4 ? s.words[n + 1] : 0;
    driver.physical[BiosPortWordAddress(static_cast<int32_t>(n) + 1)] = s.words[n] | next << 16;
  }
  const int32_t number = PortNumberFromName(name.get());
  const uint16_t base = number >= 1 && number <= 4 ? s.words[number - 1] : 0;
  const std::array<uint16_t, 3> ecrDataControl = {static_cast<uint16_t>(base + kEcrOffset), base,
                                                  static_cast<uint16_t>(base + kControlOffset)};
  const std::array<uint16_t, 3> dataControlEcr = {ecrDataControl[1], ecrDataControl[2], ecrDataControl[0]};
  for (size_t i = 0; i < 3; ++i) driver.registers[dataControlEcr[i]] = s.contents[i];
  if (s.physicalFails && number >= 1 && number <= 4) driver.failPhysicalAt = BiosPortWordAddress(number);
  if (s.readFails != 0) driver.failReadAt = ecrDataControl[s.readFails - 1];
  if (s.writeFails != 0) driver.failWriteAt = ecrDataControl[s.writeFails - 1];

  const int32_t status = OpenParallelPort(name.get());
  FUZZ_CHECK(status == ExpectedStatus(s, number, base, ecrDataControl));
  FUZZ_CHECK(CurrentPortState().isOpen == (status == 0));
  if (status != 0) {
    FUZZ_CHECK(WriteLedByte(s.ledByte) != 0);
    return 0;
  }
  // Open: standard mode, LEDs dark, the control outputs low.
  FUZZ_CHECK(driver.registers[ecrDataControl[0]] == (s.contents[2] & kEcrBelowModeMask));
  FUZZ_CHECK(driver.registers[base] == 0);
  FUZZ_CHECK(driver.registers[ecrDataControl[2]] == kControlAllLow);
  FUZZ_CHECK(WriteLedByte(s.ledByte) == 0);
  FUZZ_CHECK(driver.registers[base] == s.ledByte);

  CloseParallelPort();
  FUZZ_CHECK(!CurrentPortState().isOpen && !driver.bound);
  for (size_t i = 0; i < 3; ++i) FUZZ_CHECK(driver.registers[dataControlEcr[i]] == s.contents[i]);
  FUZZ_CHECK(driver.calls.back() == "unload");
  return 0;
}
