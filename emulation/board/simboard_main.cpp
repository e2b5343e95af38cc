// simboard: an Arduino Uno running the USB LED controller's firmware in
// simavr, its serial port on a pty and its LEDs in a journal, for people
// without the hardware (the demo) and for the tests.
//
//   simboard FIRMWARE.elf PATH
//
// PATH becomes a symlink to the pty (what Wine maps a COM port to); the LEDs
// go to PATH.leds, the process id to PATH.pid. It ends, with exit code 0, when
// PATH.stop appears or on SIGTERM or SIGINT. Exit code 2 for a wrong command
// line, 1 when the firmware cannot be loaded or the files made, or when the
// firmware stops for good (it crashed, or sleeps with interrupts off).
#include <avr_extint.h>
#include <avr_ioport.h>
#include <poll.h>
#include <sim_avr.h>
#include <sim_elf.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "emulation/board/led_journal.h"
#include "emulation/board/pty_endpoint.h"
#include "emulation/board/uart_bridge.h"

namespace {

constexpr const char* kBoardMcu = "atmega328p";
constexpr uint32_t kBoardFrequency = 16000000;  // the Uno's crystal
constexpr uint64_t kCyclesPerMicrosecond = kBoardFrequency / 1000000;
// How often the loop looks at the pty and the LEDs while the firmware runs
// without sleeping, in simulated time, and how often it looks for the stop
// file, in wall-clock time.
constexpr avr_cycle_count_t kServiceCycles = 100 * kCyclesPerMicrosecond;
constexpr int64_t kStopCheckNs = 20 * 1000000;

avr_t* board = nullptr;
int64_t startWallNs = 0;
int64_t nextStopCheckNs = 0;

int64_t MonotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

uint64_t SimulatedMicroseconds() { return board->cycle / kCyclesPerMicrosecond; }

[[noreturn]] void End(int code) {
  StopPtyEndpoint();
  // Straight out: nothing of simavr's needs tearing down, and the pty's
  // master side closing is the unplug.
  fflush(stdout);
  fflush(stderr);
  _exit(code);
}

uint8_t BoardLeds() {
  avr_ioport_state_t d{}, b{};
  avr_ioctl(board, AVR_IOCTL_IOPORT_GETSTATE('D'), &d);
  avr_ioctl(board, AVR_IOCTL_IOPORT_GETSTATE('B'), &b);
  return LedByteFromPorts(d.port, d.ddr, b.port, b.ddr);
}

void OnPortChange(avr_irq_t*, uint32_t, void*) { NoteLedPins(BoardLeds(), SimulatedMicroseconds()); }

void WatchPort(char name) {
  for (int irq : {IOPORT_IRQ_PIN_ALL, IOPORT_IRQ_DIRECTION_ALL}) {
    avr_irq_register_notify(avr_io_getirq(board, AVR_IOCTL_IOPORT_GETIRQ(name), irq), OnPortChange, nullptr);
  }
}

// Everything outside the AVR: serial bytes both ways, settled LEDs, and
// whether to end.
void Service() {
  PumpUartBridge();
  JournalSettledLeds(SimulatedMicroseconds());
  const int64_t now = MonotonicNs();
  if (now < nextStopCheckNs) return;
  nextStopCheckNs = now + kStopCheckNs;
  if (PtyEndpointEndRequested()) End(0);
}

// simavr calls this while the AVR sleeps until its next timer event: wait in
// real time until the simulated clock is due, but wake for a received byte,
// so that the board runs at real time and costs next to nothing while idle.
void SleepInRealTime(avr_t* avr, avr_cycle_count_t cycles) {
  const int64_t dueNs = startWallNs + static_cast<int64_t>((avr->cycle + cycles) / kCyclesPerMicrosecond) * 1000;
  for (;;) {
    Service();
    if (UartBridgeHasInput()) return;
    const int64_t waitNs = dueNs - MonotonicNs();
    if (waitNs <= 0) return;
    pollfd port{PtyEndpointMaster(), POLLIN, 0};
    const int64_t sliceNs = waitNs < kStopCheckNs ? waitNs : kStopCheckNs;
    const timespec slice{0, static_cast<long>(sliceNs)};
    if (ppoll(&port, 1, &slice, nullptr) > 0 && (port.revents & POLLIN)) {
      Service();
      return;
    }
  }
}

bool LoadBoard(const char* firmwarePath) {
  elf_firmware_t firmware{};
  if (elf_read_firmware(firmwarePath, &firmware) != 0 || firmware.flashsize == 0) {
    fprintf(stderr, "simboard: cannot load the firmware %s\n", firmwarePath);
    return false;
  }
  board = avr_make_mcu_by_name(kBoardMcu);
  if (board == nullptr || avr_init(board) != 0) {
    fprintf(stderr, "simboard: simavr has no %s\n", kBoardMcu);
    return false;
  }
  firmware.frequency = kBoardFrequency;
  strncpy(firmware.mmcu, kBoardMcu, sizeof firmware.mmcu - 1);
  avr_load_firmware(board, &firmware);
  board->frequency = kBoardFrequency;
  board->sleep = SleepInRealTime;
  // D2 and D3 (LEDs 1 and 2) are also INT0 and INT1, whose sense is "low
  // level" after reset. With strict level triggering simavr looks at such a
  // pin on every cycle while it is low, enabled or not, and the board never
  // sleeps; relaxed, it looks when the pin changes. The firmware uses neither.
  avr_extint_set_strict_lvl_trig(board, 0, 0);
  avr_extint_set_strict_lvl_trig(board, 1, 0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: simboard FIRMWARE.elf PATH\n");
    return 2;
  }
  const std::string path = argv[2];
  if (!LoadBoard(argv[1])) return 1;

  std::string error;
  if (!StartLedJournal(path + ".leds", BoardLeds(), &error) || StartPtyEndpoint(path, &error) != kPtyEndpointOk) {
    fprintf(stderr, "simboard: %s\n", error.c_str());
    return 1;
  }
  StartUartBridge(board, PtyEndpointMaster());
  WatchPort('D');
  WatchPort('B');

  startWallNs = MonotonicNs();
  avr_cycle_count_t nextService = 0;
  for (;;) {
    const int state = avr_run(board);
    if (state == cpu_Done || state == cpu_Crashed) {
      fprintf(stderr, "simboard: the firmware stopped (%s)\n", state == cpu_Done ? "sleeping for good" : "crashed");
      End(1);
    }
    if (board->cycle >= nextService) {
      nextService = board->cycle + kServiceCycles;
      Service();
    }
  }
}
