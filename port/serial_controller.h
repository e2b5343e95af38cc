// The Pipstack LED controller on a serial port: found by its identity line,
// shown each LED byte as one text line, dark again at close, and picked up
// again after it went away. Platform-free, over serial_line.h.
#pragma once

#include <cstdint>

// How long a device has to answer with its identity: boards that reset when
// their port is opened (the Uno and Nano do) answer once their sketch runs.
constexpr uint32_t kIdentifyWaitMs = 3000;
// Boards that do not reset are asked again this often while the wait lasts.
constexpr uint32_t kQueryIntervalMs = 500;
// How often the answers are looked at meanwhile.
constexpr uint32_t kAnswerPollMs = 20;

enum SerialControllerStatus : int32_t {
  kSerialControllerOk = 0,
  kSerialControllerNotOpened = 1,  // the port is absent, held by another program, or refused its settings
  kSerialControllerSilent = 2,     // nothing on it said it is a Pipstack LED controller
  kSerialControllerNotWritten = 3,
};

// Opens COMn and waits for the controller's identity, asking at once and
// again while it waits; then darkens the LEDs. A controller open before is
// closed first.
int32_t OpenSerialController(int32_t number);
// Asks every serial port the system lists at once, sending nothing but the
// question, and keeps the first that answers as the open controller; every
// other port is closed again at once. Ports another program holds are
// passed over. False when none answered in the wait.
bool FindSerialController();
// The open controller's port number; 0 while none is open.
int32_t SerialControllerPort();

// Shows the byte: 0, or kSerialControllerNotWritten when the line failed
// (the device went away).
int32_t WriteSerialLeds(uint8_t byte);
// After a failed write: the port is let go, and RetrySerialController looks
// for the controller on it again.
void LoseSerialController();
// One step of coming back, never waiting: opens the port when it is there
// again, asks, and looks for the answer at the next steps. True once the
// controller answered and shows byte.
bool RetrySerialController(uint8_t byte);
// Darkens the LEDs and closes the port; harmless when none is open. The
// port number is forgotten.
void CloseSerialController();
