// The LED output layer: the argument, discovery in its order, the byte to
// whichever output is open, and the unplug and return of a USB output.
#include "port/led_output.h"

#include "port/ftdi_output.h"
#include "port/parallel_port.h"
#include "port/port_address.h"
#include "port/port_discovery.h"
#include "port/serial_controller.h"

namespace {

LedOutputKind outputInUse = kOutputNone;
// A USB output: whether its device is there, and the byte it is to show.
bool connected = false;
uint8_t wantedByte = 0;
std::string failure;

bool IsFtdiName(const char* text) {
  constexpr char kFtdi[] = "ftdi";
  for (size_t i = 0; i < sizeof kFtdi - 1; ++i) {
    if ((text[i] | 0x20) != kFtdi[i]) return false;  // any case; the terminator never matches
  }
  return text[4] == '\0' || text[4] == ':';
}

// What the layer needs of each USB output.
struct UsbOutput {
  bool (*write)(uint8_t byte);  // false: the device went away
  void (*lose)();
  bool (*retry)(uint8_t byte);
  void (*close)();
};
constexpr UsbOutput kSerialOutput = {[](uint8_t byte) { return WriteSerialLeds(byte) == kSerialControllerOk; },
                                     LoseSerialController, RetrySerialController, CloseSerialController};
constexpr UsbOutput kFtdiOutput = {[](uint8_t byte) { return WriteFtdiLeds(byte) == kFtdiOutputOk; }, LoseFtdiOutput,
                                   RetryFtdiOutput, CloseFtdiOutput};

// The USB output in use; null for the parallel port and for none.
const UsbOutput* UsbInUse() {
  if (outputInUse == kOutputSerial) return &kSerialOutput;
  if (outputInUse == kOutputFtdi) return &kFtdiOutput;
  return nullptr;
}

std::string ComName(int32_t number) { return "COM" + std::to_string(number); }

std::string SerialFailure(int32_t status, int32_t number) {
  const std::string port = ComName(number);
  switch (status) {
    case kSerialControllerNotOpened:
      return "Could not open " + port + ": the port is not there, or another program holds it.";
    case kSerialControllerSilent:
      return "No Pipstack LED controller answered on " + port + ".";
    default:
      return "The Pipstack LED controller on " + port + " took no LED byte.";
  }
}

std::string FtdiFailure(int32_t status, const std::string& serial) {
  const std::string device =
      serial.empty() ? "Could not use an FTDI device: " : "Could not use FTDI device " + serial + ": ";
  switch (status) {
    case kFtdiOutputNoLibrary:
      return device + "FTDI's library ftd2xx.dll is not installed.";
    case kFtdiOutputLibraryLacks:
      return device + "ftd2xx.dll has no " + FtdiOutputMissingEntry() + ".";
    case kFtdiOutputNotListed:
      return device + (serial.empty() ? "none is connected." : "it is not connected.");
    case kFtdiOutputOpenElsewhere:
      return device + "another program has it open.";
    case kFtdiOutputNotListedOrOpenElsewhere:
      return device + "it is not connected, or another program has it open.";
    case kFtdiOutputNoBitBang:
      return device + "it refused bit-bang mode.";
    case kFtdiOutputNotWritten:
      return device + "it took no LED byte.";
    default:
      return device + "it could not be opened.";
  }
}

int32_t OpenParallel() {
  if (OpenParallelPort(PortName().c_str()) != kOpenPortOk) return kOpenOutputParallelFailed;
  outputInUse = kOutputParallel;
  return kOpenOutputOk;
}

int32_t UseUsb(LedOutputKind kind) {
  outputInUse = kind;
  connected = true;
  wantedByte = 0;
  return kOpenOutputOk;
}

int32_t Discover() {
  EnumParallelPorts(RememberFirstPort);
  if (!PortName().empty()) return OpenParallel();
  if (FindFtdiOutput()) return UseUsb(kOutputFtdi);
  if (FindSerialController()) return UseUsb(kOutputSerial);
  return kOpenOutputNoneFound;
}

}  // namespace

OutputArgument ReadOutputArgument(const char* text) {
  OutputArgument argument{kOutputParallel, 0, std::string()};
  const int32_t serialPort = text != nullptr ? SerialPortNumber(text) : 0;
  if (text == nullptr || *text == '\0') {
    argument.kind = kOutputNone;
  } else if (serialPort != 0) {
    argument.kind = kOutputSerial;
    argument.serialPort = serialPort;
  } else if (IsFtdiName(text)) {
    argument.kind = kOutputFtdi;
    if (text[4] == ':') argument.ftdiSerial = text + 5;
  }
  return argument;
}

int32_t OpenLedOutput(const char* text) {
  CloseLedOutput();
  ForgetPortName();
  failure.clear();
  const OutputArgument argument = ReadOutputArgument(text);
  int32_t status = kOpenOutputOk;
  switch (argument.kind) {
    case kOutputNone:
      return Discover();
    case kOutputParallel:
      SetPortName(text);
      return OpenParallel();
    case kOutputSerial:
      status = OpenSerialController(argument.serialPort);
      if (status == kSerialControllerOk) return UseUsb(kOutputSerial);
      failure = SerialFailure(status, argument.serialPort);
      return kOpenOutputUsbFailed;
    case kOutputFtdi:
      status = OpenFtdiOutput(argument.ftdiSerial);
      if (status == kFtdiOutputOk) return UseUsb(kOutputFtdi);
      failure = FtdiFailure(status, argument.ftdiSerial);
      return kOpenOutputUsbFailed;
  }
  return kOpenOutputNoneFound;
}

const std::string& LedOutputFailure() { return failure; }

LedOutputKind LedOutputInUse() { return outputInUse; }

std::string UsbOutputLabel() {
  if (outputInUse == kOutputSerial) return "Pipstack LED controller on " + ComName(SerialControllerPort());
  if (outputInUse == kOutputFtdi) return FtdiOutputLabel();
  return std::string();
}

int32_t WriteLedByte(int32_t value) {
  const auto byte = static_cast<uint8_t>(value & 0xFF);
  if (outputInUse == kOutputParallel) return WriteParallelPort(byte);
  const UsbOutput* usb = UsbInUse();
  if (usb == nullptr) return kWriteLedPortClosed;
  // While the device is away the byte waits for it; the meter goes on.
  wantedByte = byte;
  if (connected && !usb->write(byte)) {
    connected = false;
    usb->lose();
  }
  return kWriteLedOk;
}

bool IsLedOutputConnected() { return outputInUse == kOutputParallel || connected; }

void RetryLedOutput() {
  const UsbOutput* usb = UsbInUse();
  if (usb != nullptr && !connected) connected = usb->retry(wantedByte);
}

void CloseLedOutput() {
  if (const UsbOutput* usb = UsbInUse()) usb->close();
  if (outputInUse == kOutputParallel) CloseParallelPort();
  outputInUse = kOutputNone;
  connected = false;
}
