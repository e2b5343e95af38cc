// The serial LED controller: the identity handshake, discovery, the LED
// lines, and the way back after an unplug.
#include "port/serial_controller.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "port/controller_answer.h"
#include "port/serial_line.h"

namespace {

constexpr char kQuestion[] = "?\n";
constexpr uint8_t kLedsDark = 0;

// A port that was asked who it is, and what it has said so far.
struct AskedPort {
  int32_t number;
  SerialLine line;
  LedLineReader reader;
};

// The open controller: its port, and what it has said since it was last
// asked. While it is away, its line is closed and its number kept.
AskedPort controller{0, SerialLine{}, LedLineReader{}};

// Coming back: the port is open again and was asked at askedAt.
bool asking = false;
uint32_t askedAt = 0;
uint32_t lastQuestion = 0;

bool Ask(const SerialLine& line) { return WriteSerialLine(line, kQuestion, sizeof kQuestion - 1); }

bool ShowLeds(const SerialLine& line, uint8_t byte) {
  char text[8];
  std::snprintf(text, sizeof text, "L%02X\n", static_cast<unsigned>(byte));
  return WriteSerialLine(line, text, 4);
}

// Reads what the port has; true when the identity was among it. A port that
// fails is closed and heard no more.
bool Listen(AskedPort* port) {
  char bytes[64];
  for (;;) {
    const int32_t got = ReadSerialLine(port->line, bytes, sizeof bytes);
    if (got < 0) {
      CloseSerialLine(&port->line);
      return false;
    }
    if (HeardIdentity(&port->reader, bytes, static_cast<size_t>(got))) return true;
    if (got < static_cast<int32_t>(sizeof bytes)) return false;
  }
}

// Asks every open port at once and again while it waits; the index of the
// first to answer, or -1 when the wait ran out.
int32_t AwaitIdentity(std::vector<AskedPort>* ports) {
  const uint32_t start = SerialClockMs();
  uint32_t asked = start;
  for (AskedPort& port : *ports) Ask(port.line);
  for (;;) {
    for (size_t i = 0; i < ports->size(); ++i) {
      AskedPort& port = (*ports)[i];
      if (port.line.handle != nullptr && Listen(&port)) return static_cast<int32_t>(i);
    }
    const uint32_t now = SerialClockMs();
    if (now - start >= kIdentifyWaitMs) return -1;
    if (now - asked >= kQueryIntervalMs) {
      for (AskedPort& port : *ports) {
        if (port.line.handle != nullptr) Ask(port.line);
      }
      asked = now;
    }
    PauseSerialMs(kAnswerPollMs);
  }
}

AskedPort OpenAsked(int32_t number) {
  AskedPort port{number, SerialLine{}, LedLineReader{}};
  ResetLedLine(&port.reader);
  if (OpenSerialLine(number, &port.line) != kSerialLineOk) CloseSerialLine(&port.line);
  return port;
}

// Keeps the port that answered as the controller, dark; closes the others.
int32_t TakeAnswered(std::vector<AskedPort>* ports, int32_t answered) {
  for (size_t i = 0; i < ports->size(); ++i) {
    if (static_cast<int32_t>(i) != answered) CloseSerialLine(&(*ports)[i].line);
  }
  if (answered < 0) return kSerialControllerSilent;
  AskedPort& port = (*ports)[static_cast<size_t>(answered)];
  if (!ShowLeds(port.line, kLedsDark)) {
    CloseSerialLine(&port.line);
    return kSerialControllerNotWritten;
  }
  controller = std::exchange(port, AskedPort{0, SerialLine{}, LedLineReader{}});
  asking = false;
  return kSerialControllerOk;
}

}  // namespace

int32_t OpenSerialController(int32_t number) {
  CloseSerialController();
  std::vector<AskedPort> ports{OpenAsked(number)};
  if (ports.front().line.handle == nullptr) return kSerialControllerNotOpened;
  return TakeAnswered(&ports, AwaitIdentity(&ports));
}

bool FindSerialController() {
  CloseSerialController();
  std::vector<AskedPort> ports;
  for (const int32_t number : ListSerialPorts()) {
    AskedPort port = OpenAsked(number);
    if (port.line.handle != nullptr) ports.push_back(port);
  }
  if (ports.empty()) return false;
  return TakeAnswered(&ports, AwaitIdentity(&ports)) == kSerialControllerOk;
}

int32_t SerialControllerPort() { return controller.number; }

int32_t WriteSerialLeds(uint8_t byte) {
  return ShowLeds(controller.line, byte) ? kSerialControllerOk : kSerialControllerNotWritten;
}

void LoseSerialController() {
  CloseSerialLine(&controller.line);
  asking = false;
}

bool RetrySerialController(uint8_t byte) {
  if (controller.number == 0) return false;
  const uint32_t now = SerialClockMs();
  if (!asking) {
    if (OpenSerialLine(controller.number, &controller.line) != kSerialLineOk) {
      CloseSerialLine(&controller.line);
      return false;
    }
    ResetLedLine(&controller.reader);
    asking = Ask(controller.line);
    askedAt = now;
    lastQuestion = now;
    if (!asking) CloseSerialLine(&controller.line);
    return false;
  }
  const bool answered = Listen(&controller);
  if (answered && ShowLeds(controller.line, byte)) {
    asking = false;
    return true;
  }
  // A port that failed, a controller that took its byte badly, or a wait
  // that ran out: the port is let go and opened afresh at a later step.
  if (answered || controller.line.handle == nullptr || now - askedAt >= kIdentifyWaitMs) {
    LoseSerialController();
    return false;
  }
  if (now - lastQuestion >= kQueryIntervalMs) {
    Ask(controller.line);
    lastQuestion = now;
  }
  return false;
}

void CloseSerialController() {
  if (controller.line.handle != nullptr && !asking) ShowLeds(controller.line, kLedsDark);
  CloseSerialLine(&controller.line);
  controller.number = 0;
  asking = false;
}
