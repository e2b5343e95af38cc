// Fuzz target: OpenParallelPort with any port name or address over a
// recording driver whose BIOS words, register contents, failing call and Plug
// and Play answer come from the input; then one LED byte and the close.
// Checks the status names the step that failed, an open port is set up as
// the LEDs need it at the base the argument, Plug and Play or the BIOS gave,
// and close puts back every register it could write.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/text_number.h"
#include "fuzz/targets/fuzz_check.h"
#include "port/parallel_port.h"
#include "port/port_registers.h"
#include "tests/fakes/port_io_driver_fakes.h"
#include "tests/fakes/port_pnp_fakes.h"

namespace {

// Input layout: flags, four BIOS words, then data/control/ECR contents, the LED byte, the name.
constexpr size_t kHeader = 1 + 8 + 3 + 1;

struct Setup {
  bool loadFails;
  bool physicalFails;
  int readFails;     // 0 none, 1 ECR, 2 data, 3 control
  int writeFails;    // the same
  bool plugAndPlay;  // Plug and Play knows the named port, at the next port's BIOS word
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
  s.plugAndPlay = (data[0] & 0x40) != 0;
  for (size_t i = 0; i < 4; ++i) s.words[i] = static_cast<uint16_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
  for (size_t i = 0; i < 3; ++i) s.contents[i] = data[9 + i];
  s.ledByte = data[12];
  return s;
}

// What the text names, worked out here by hand: "0x" or "0X" and 1 to 4 hex
// digits is an address, "LPT" in any case, digits without a leading zero and
// at most one ':' is a name; nothing else is either.
struct Argument {
  bool address;    // starts with 0x
  bool valid;      // a name, or an address in the usable range
  int32_t number;  // of a name
  uint16_t base;   // of an address
};

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

Argument Classify(const std::string& text) {
  Argument a{false, false, 0, 0};
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    a.address = true;
    const std::string digits = text.substr(2);
    if (digits.empty() || digits.size() > 4) return a;
    for (char c : digits) {
      if (!IsHex(c)) return a;
    }
    const unsigned long value = std::stoul(digits, nullptr, 16);
    a.valid = value >= 0x100 && value + 0x402 <= 0xFFFF;
    a.base = static_cast<uint16_t>(value);
    return a;
  }
  if (text.size() < 4) return a;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  if (upper(text[0]) != 'L' || upper(text[1]) != 'P' || upper(text[2]) != 'T') return a;
  size_t end = 3;
  if (text[end] < '1' || text[end] > '9') return a;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end < text.size() && text[end] == ':') ++end;
  a.valid = end == text.size();
  a.number = ParseDecimal(text.c_str() + 3);
  return a;
}

// The status the open must give, worked out step by step from the setup.
// The recording driver fails every access at its fail address, which is 0
// when no failure was chosen: a register that wrapped round to address 0
// fails then too.
int32_t ExpectedStatus(const Setup& s, const Argument& a, bool baseKnown,
                       const std::array<uint16_t, 3>& ecrDataControl) {
  if (a.address && !a.valid) return 12;
  if (!a.valid || (!a.address && (a.number < 1 || a.number > 4))) return 2;
  if (s.loadFails) return 3;
  if (!baseKnown) return 5;
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
  FuzzedDataProvider in(data, size);
  const Setup s = ReadSetup(in.ConsumeBytes<uint8_t>(kHeader).data());
  // Exactly the name and its terminating zero: a read beyond is caught.
  const std::string text = in.ConsumeRemainingBytesAsString();
  std::unique_ptr<char[]> name(new char[text.size() + 1]);
  std::memcpy(name.get(), text.c_str(), text.size() + 1);

  ResetRecordingDriver();
  ResetFakePlugAndPlay();
  ResetPortState();
  driver.loadStatus = s.loadFails ? 4 : 0;
  for (uint32_t n = 0; n < 4; ++n) {
    const uint32_t next = n + 1 < 4 ? s.words[n + 1] : 0;
    driver.physical[BiosPortWordAddress(static_cast<int32_t>(n) + 1)] = s.words[n] | next << 16;
  }
  const Argument argument = Classify(name.get());
  const bool named = !argument.address && argument.number >= 1 && argument.number <= 4;
  uint16_t base = argument.base;
  bool baseKnown = argument.address;
  if (named) {
    const uint16_t assigned = s.words[static_cast<size_t>(argument.number) % 4];
    if (s.plugAndPlay) plugAndPlay.bases[argument.number] = assigned;
    // Plug and Play's range where it is one a port can have, else the BIOS word.
    if (s.plugAndPlay && assigned >= 0x100 && assigned + 0x402 <= 0xFFFF) {
      base = assigned;
      baseKnown = true;
    } else {
      base = s.words[static_cast<size_t>(argument.number) - 1];
      baseKnown = !s.physicalFails && base != 0;
      if (s.physicalFails) driver.failPhysicalAt = BiosPortWordAddress(argument.number);
    }
  }
  const std::array<uint16_t, 3> ecrDataControl = {static_cast<uint16_t>(base + kEcrOffset), base,
                                                  static_cast<uint16_t>(base + kControlOffset)};
  const std::array<uint16_t, 3> dataControlEcr = {ecrDataControl[1], ecrDataControl[2], ecrDataControl[0]};
  for (size_t i = 0; i < 3; ++i) driver.registers[dataControlEcr[i]] = s.contents[i];
  if (s.readFails != 0) driver.failReadAt = ecrDataControl[s.readFails - 1];
  if (s.writeFails != 0) driver.failWriteAt = ecrDataControl[s.writeFails - 1];

  const int32_t status = OpenParallelPort(name.get());
  FUZZ_CHECK(status == ExpectedStatus(s, argument, baseKnown, ecrDataControl));
  // Nothing refused ever reached the driver.
  FUZZ_CHECK(status != 2 && status != 12 ? driver.calls.front() == "load" : driver.calls.empty());
  FUZZ_CHECK(CurrentPortState().isOpen == (status == 0));
  if (status != 0) {
    // A failed open leaves every register as it was and no library held.
    FUZZ_CHECK(WriteParallelPort(s.ledByte) != 0);
    for (size_t i = 0; i < 3; ++i) FUZZ_CHECK(driver.registers[dataControlEcr[i]] == s.contents[i]);
    FUZZ_CHECK(!driver.bound);
    return 0;
  }
  // Open: standard mode, LEDs dark, the control outputs low.
  FUZZ_CHECK(driver.registers[ecrDataControl[0]] == (s.contents[2] & kEcrBelowModeMask));
  FUZZ_CHECK(driver.registers[base] == 0);
  FUZZ_CHECK(driver.registers[ecrDataControl[2]] == kControlAllLow);
  FUZZ_CHECK(WriteParallelPort(s.ledByte) == 0);
  FUZZ_CHECK(driver.registers[base] == s.ledByte);

  CloseParallelPort();
  FUZZ_CHECK(!CurrentPortState().isOpen && !driver.bound);
  for (size_t i = 0; i < 3; ++i) FUZZ_CHECK(driver.registers[dataControlEcr[i]] == s.contents[i]);
  FUZZ_CHECK(driver.calls.back() == "unload");
  return 0;
}
