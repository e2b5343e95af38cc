// The LED output layer: the argument, discovery in its order, the byte to
// whichever output is open, and the unplug and return of a USB output.
#include "port/led_output.h"

#include "core/text_number.h"
#include "port/ftdi_output.h"
#include "port/parallel_port.h"
#include "port/port_discovery.h"
#include "port/serial_controller.h"

namespace {

LedOutputKind outputInUse = kOutputNone;
// A USB output: whether its device is there, and the byte it is to show.
bool connected = false;
uint8_t wantedByte = 0;
std::string failure;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithWord(const char* text, const char* word) {
  for (; *word != '\0'; ++text, ++word) {
    if (Lower(*text) != *word) return false;
  }
  return true;
}

// "COM", a number 1 to 256 without a leading zero, then nothing or one ':'.
int32_t SerialPortNumber(const char* text) {
  if (!StartsWithWord(text, "com")) return 0;
  const char* digits = text + 3;
  if (*digits < '1' || *digits > '9') return 0;
  const char* end = digits;
  while (*end >= '0' && *end <= '9') ++end;
  const char* rest = *end == ':' ? end + 1 : end;
  if (*rest != '\0') return 0;
  const int32_t number = ParseDecimal(digits);
  return number <= kLastSerialPort ? number : 0;
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

// A write of the USB output in use; false when its device went away.
bool WriteUsb(uint8_t byte) {
  if (outputInUse == kOutputSerial) return WriteSerialLeds(byte) == kSerialControllerOk;
  return WriteFtdiLeds(byte) == kFtdiOutputOk;
}

}  // namespace

OutputArgument ReadOutputArgument(const char* text) {
  OutputArgument argument{kOutputParallel, 0, std::string()};
  if (text == nullptr || *text == '\0') {
    argument.kind = kOutputNone;
  } else if ((argument.serialPort = SerialPortNumber(text)) != 0) {
    argument.kind = kOutputSerial;
  } else if (StartsWithWord(text, "ftdi") && (text[4] == '\0' || text[4] == ':')) {
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
  switch (outputInUse) {
    case kOutputParallel:
      return WriteParallelPort(byte);
    case kOutputSerial:
    case kOutputFtdi:
      // While the device is away the byte waits for it; the meter goes on.
      wantedByte = byte;
      if (connected && !WriteUsb(byte)) {
        connected = false;
        if (outputInUse == kOutputSerial) LoseSerialController();
        if (outputInUse == kOutputFtdi) LoseFtdiOutput();
      }
      return kWriteLedOk;
    case kOutputNone:
      break;
  }
  return kWriteLedPortClosed;
}

bool IsLedOutputConnected() { return outputInUse == kOutputParallel || connected; }

void RetryLedOutput() {
  if (connected) return;
  if (outputInUse == kOutputSerial) connected = RetrySerialController(wantedByte);
  if (outputInUse == kOutputFtdi) connected = RetryFtdiOutput(wantedByte);
}

void CloseLedOutput() {
  switch (outputInUse) {
    case kOutputParallel:
      CloseParallelPort();
      break;
    case kOutputSerial:
      CloseSerialController();
      break;
    case kOutputFtdi:
      CloseFtdiOutput();
      break;
    case kOutputNone:
      break;
  }
  outputInUse = kOutputNone;
  connected = false;
}
