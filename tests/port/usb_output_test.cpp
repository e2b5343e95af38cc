// The USB outputs over scripted devices: the LED controller's handshake and
// discovery, the FTDI device chosen and driven, and the output layer's
// argument, discovery order, unplug and return.
#include <gtest/gtest.h>

#include <string>

#include "port/ftdi_output.h"
#include "port/led_output.h"
#include "port/serial_controller.h"
#include "tests/fakes/port_io_driver_fakes.h"
#include "tests/fakes/port_probe_fakes.h"
#include "tests/fakes/usb_output_fakes.h"

namespace {

constexpr char kIdentity[] = "PIPSTACK LEDS 1\n";

// Every line the device heard is the question.
bool OnlyQuestions(const std::string& heard) {
  if (heard.empty()) return false;
  for (size_t at = 0; at < heard.size(); at += 2) {
    if (heard.compare(at, 2, "?\n") != 0) return false;
  }
  return true;
}

class UsbOutputTest : public testing::Test {
 protected:
  void SetUp() override {
    CloseLedOutput();
    ResetUsbOutputFakes();
    ResetFakeSpooler();
    ResetRecordingDriver();
  }
  void TearDown() override { CloseLedOutput(); }
};

TEST_F(UsbOutputTest, NamedControllerAnswersWithinTheWaitOrTheStartFails) {
  const struct {
    const char* what;
    bool present;
    std::string answer;
    uint32_t bootMs;
    int32_t status;
  } rows[] = {
      {"answers at once", true, kIdentity, 0, kSerialControllerOk},
      {"resets when opened, answers once booted", true, kIdentity, 1200, kSerialControllerOk},
      {"noise before its identity", true, std::string("\x7f\xfe garbage\r\n") + kIdentity, 0, kSerialControllerOk},
      {"identity with CRLF", true, "PIPSTACK LEDS 1\r\n", 0, kSerialControllerOk},
      {"answers something else", true, "PIPSTACK LEDS 2\n", 0, kSerialControllerSilent},
      {"silent", true, "", 0, kSerialControllerSilent},
      {"answers too late", true, kIdentity, 3100, kSerialControllerSilent},
      {"absent or held", false, kIdentity, 0, kSerialControllerNotOpened},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ResetUsbOutputFakes();
    FakeSerialPort& port = serial.ports[7];
    port.present = row.present;
    port.answer = row.answer;
    port.bootMs = row.bootMs;
    EXPECT_EQ(OpenSerialController(7), row.status);
    if (row.status == kSerialControllerOk) {
      // Asked at once and every half second, then dark.
      const std::string asked = port.heard.substr(0, port.heard.size() - 4);
      EXPECT_TRUE(OnlyQuestions(asked)) << port.heard;
      EXPECT_EQ(port.heard.substr(port.heard.size() - 4), "L00\n");
      EXPECT_LE(serial.now, row.bootMs + kQueryIntervalMs + kAnswerPollMs);
      EXPECT_EQ(SerialControllerPort(), 7);
      EXPECT_TRUE(port.open);
    } else {
      EXPECT_FALSE(port.open);
      EXPECT_EQ(SerialControllerPort(), 0);
      if (row.present) {
        EXPECT_TRUE(OnlyQuestions(port.heard)) << port.heard;
        EXPECT_EQ(port.heard.size(), 2 * kIdentifyWaitMs / kQueryIntervalMs) << "asked every half second";
        EXPECT_GE(serial.now, kIdentifyWaitMs);
      }
    }
    CloseSerialController();
  }
}

TEST_F(UsbOutputTest, DiscoveryAsksEveryPortAtOnceAndKeepsTheOneThatAnswers) {
  serial.ports[3].answer = "";         // silent
  serial.ports[4].present = false;     // held by another program
  serial.ports[6].answer = "OK\n";     // a modem
  serial.ports[8].answer = kIdentity;  // ours
  serial.ports[8].bootMs = 600;
  serial.ports[9].answer = kIdentity;  // ours too, but later in the list
  serial.ports[9].bootMs = 1800;
  ASSERT_TRUE(FindSerialController());
  EXPECT_EQ(SerialControllerPort(), 8);
  EXPECT_LT(serial.now, 3 * kQueryIntervalMs) << "the ports were not asked at once";
  for (const int32_t other : {3, 6, 9}) {
    EXPECT_FALSE(serial.ports[other].open) << other;
    EXPECT_TRUE(OnlyQuestions(serial.ports[other].heard)) << other << ": " << serial.ports[other].heard;
  }
  EXPECT_TRUE(serial.ports[4].heard.empty());
  EXPECT_EQ(serial.ports[8].heard.substr(serial.ports[8].heard.size() - 4), "L00\n");
  CloseSerialController();

  serial.ports.erase(8);
  serial.ports.erase(9);
  EXPECT_FALSE(FindSerialController());
  for (const auto& entry : serial.ports) EXPECT_FALSE(entry.second.open) << entry.first;
}

TEST_F(UsbOutputTest, ControllerShowsEachByteAsALineAndComesBackAfterAnUnplug) {
  FakeSerialPort& port = serial.ports[5];
  port.answer = kIdentity;
  ASSERT_EQ(OpenLedOutput("com5:"), kOpenOutputOk);
  EXPECT_EQ(UsbOutputLabel(), "Pipstack LED controller on COM5");
  port.heard.clear();
  EXPECT_EQ(WriteLedByte(0x1F), 0);
  EXPECT_EQ(WriteLedByte(0x1A5), 0);  // the low 8 bits
  EXPECT_EQ(port.heard, "L1F\nLA5\n");

  // Unplugged: the meter's writes succeed and the last one is kept.
  port.failWrites = true;
  EXPECT_EQ(WriteLedByte(0x07), 0);
  EXPECT_FALSE(IsLedOutputConnected());
  EXPECT_FALSE(port.open);
  port.present = false;
  port.failWrites = false;
  EXPECT_EQ(WriteLedByte(0x2A), 0);
  RetryLedOutput();
  EXPECT_FALSE(IsLedOutputConnected());

  // Back: opened and asked at one step, heard at the next, shown the byte.
  port.present = true;
  port.heard.clear();
  RetryLedOutput();
  EXPECT_FALSE(IsLedOutputConnected());
  EXPECT_EQ(port.heard, "?\n");
  RetryLedOutput();
  EXPECT_TRUE(IsLedOutputConnected());
  EXPECT_EQ(port.heard, "?\nL2A\n");

  CloseLedOutput();
  EXPECT_EQ(port.heard.substr(port.heard.size() - 4), "L00\n");
  EXPECT_FALSE(port.open);
}

TEST_F(UsbOutputTest, FtdiDeviceIsTakenOnlyWhenNamedAndSaysWhyNot) {
  const struct {
    const char* what;
    const char* argument;
    int32_t loadStatus;
    bool boardOpenElsewhere;
    bool boardRefuses;
    const char* failure;  // null: it opens, on the board
  } rows[] = {
      {"by serial number", "FTDI:A50285BI", kFtdiLibraryOk, false, false, nullptr},
      {"unknown serial number", "FTDI:A50285BJ", kFtdiLibraryOk, false, false,
       "Could not use FTDI device A50285BJ: it is not connected."},
      {"open elsewhere, not named by the library", "FTDI:A50285BI", kFtdiLibraryOk, true, false,
       "Could not use FTDI device A50285BI: it is not connected, or another program has it open."},
      {"refuses bit-bang", "ftdi:A50285BI", kFtdiLibraryOk, false, true,
       "Could not use FTDI device A50285BI: it refused bit-bang mode."},
      {"no library", "FTDI", kFtdiLibraryMissing, false, false,
       "Could not use an FTDI device: FTDI's library ftd2xx.dll is not installed."},
      {"library without FT_Write", "FTDI:A50285BI", kFtdiLibraryIncomplete, false, false,
       "Could not use FTDI device A50285BI: ftd2xx.dll has no FT_Write."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ResetUsbOutputFakes();
    ftdi.loadStatus = row.loadStatus;
    ftdi.missing = "FT_Write";
    ftdi.devices = {SerialCable(), PipstackBoard()};
    if (row.boardOpenElsewhere) ftdi.devices[1].listed = FtdiDevice{true, kFtdiType232R, "", ""};
    ftdi.devices[1].refusesBitBang = row.boardRefuses;
    const int32_t status = OpenLedOutput(row.argument);
    const FakeFtdiDevice& board = ftdi.devices[1];
    if (row.failure == nullptr) {
      EXPECT_EQ(status, kOpenOutputOk);
      EXPECT_TRUE(board.open && board.bitBang);
      EXPECT_EQ(board.writes, std::vector<int32_t>{0});
      EXPECT_EQ(UsbOutputLabel(), "FTDI FT232R A50285BI");
    } else {
      EXPECT_EQ(status, kOpenOutputUsbFailed);
      EXPECT_EQ(LedOutputFailure(), row.failure);
      EXPECT_FALSE(board.open);
      EXPECT_TRUE(board.writes.empty()) << "a device that failed was written to";
      EXPECT_FALSE(ftdi.loaded) << "the library stays loaded";
    }
    EXPECT_FALSE(ftdi.devices[0].open || ftdi.devices[0].bitBang) << "the serial cable was touched";
    CloseLedOutput();
  }
  // "FTDI" alone is the first device listed.
  ResetUsbOutputFakes();
  ftdi.devices = {PipstackBoard(), SerialCable()};
  ASSERT_EQ(OpenLedOutput("FTDI"), kOpenOutputOk);
  EXPECT_TRUE(ftdi.devices[0].open);
}

TEST_F(UsbOutputTest, FtdiDeviceComesBackByItsSerialNumberAndIsLeftDarkInBitBangMode) {
  ftdi.devices = {PipstackBoard()};
  ASSERT_EQ(OpenLedOutput("FTDI:A50285BI"), kOpenOutputOk);
  FakeFtdiDevice& board = ftdi.devices[0];
  EXPECT_EQ(WriteLedByte(0x81), 0);
  board.attached = false;
  EXPECT_EQ(WriteLedByte(0x42), 0);
  EXPECT_FALSE(IsLedOutputConnected());
  RetryLedOutput();
  EXPECT_FALSE(IsLedOutputConnected());
  board.attached = true;
  board.bitBang = false;  // plugged in anew: the UART has the pins
  RetryLedOutput();
  EXPECT_TRUE(IsLedOutputConnected());
  EXPECT_TRUE(board.bitBang);
  EXPECT_EQ(board.writes, (std::vector<int32_t>{0, 0x81, 0x42}));
  CloseLedOutput();
  EXPECT_EQ(board.writes.back(), 0);
  EXPECT_FALSE(board.open);
  EXPECT_TRUE(board.bitBang) << "leaving bit-bang mode would light LEDs";
}

TEST_F(UsbOutputTest, WithNothingNamedAParallelPortComesFirstThenAPipstackFtdiDeviceThenAController) {
  const struct {
    const char* what;
    bool parallelPort;
    bool pipstackFtdi;
    bool controller;
    LedOutputKind chosen;
  } rows[] = {
      {"everything", true, true, true, kOutputParallel},
      {"no parallel port", false, true, true, kOutputFtdi},
      {"only a controller", false, false, true, kOutputSerial},
      {"nothing", false, false, false, kOutputNone},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ResetUsbOutputFakes();
    ResetFakeSpooler();
    ResetRecordingDriver();
    if (row.parallelPort) {
      spooler.names = {"LPT1:"};
      spooler.probes["LPT1"] = PortProbe{true, false, 0};
      driver.physical = {{0x408, 0x378}};
    }
    ftdi.devices = {SerialCable()};
    if (row.pipstackFtdi) ftdi.devices.push_back(PipstackBoard());
    serial.ports[2].answer = row.controller ? kIdentity : "";
    EXPECT_EQ(OpenLedOutput(""), row.chosen == kOutputNone ? kOpenOutputNoneFound : kOpenOutputOk);
    EXPECT_EQ(LedOutputInUse(), row.chosen);
    EXPECT_FALSE(ftdi.devices[0].open) << "an ordinary FTDI cable was taken";
    EXPECT_EQ(serial.ports[2].opens, row.chosen == kOutputSerial || row.chosen == kOutputNone ? 1 : 0)
        << "serial ports asked before the others were looked for";
    CloseLedOutput();
  }
}

TEST_F(UsbOutputTest, ArgumentNamesAComPortOrAnFtdiDeviceOrIsLeftToTheParallelPort) {
  const struct {
    const char* text;
    LedOutputKind kind;
    int32_t serialPort;
    const char* ftdiSerial;
  } rows[] = {
      {"", kOutputNone, 0, ""},
      {"COM1", kOutputSerial, 1, ""},
      {"com256:", kOutputSerial, 256, ""},
      {"COM257", kOutputParallel, 0, ""},
      {"COM0", kOutputParallel, 0, ""},
      {"COM01", kOutputParallel, 0, ""},
      {"COM1::", kOutputParallel, 0, ""},
      {"COM 1", kOutputParallel, 0, ""},
      {"FTDI", kOutputFtdi, 0, ""},
      {"fTdI", kOutputFtdi, 0, ""},
      {"FTDI:A50285BI", kOutputFtdi, 0, "A50285BI"},
      {"FTDIX", kOutputParallel, 0, ""},
      {"LPT1", kOutputParallel, 0, ""},
  };
  for (const auto& row : rows) {
    const OutputArgument argument = ReadOutputArgument(row.text);
    EXPECT_EQ(argument.kind, row.kind) << row.text;
    EXPECT_EQ(argument.serialPort, row.serialPort) << row.text;
    EXPECT_EQ(argument.ftdiSerial, row.ftdiSerial) << row.text;
  }
}

}  // namespace
