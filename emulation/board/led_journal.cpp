// Settling the LED pins into bytes, and the journal of those bytes.
#include "emulation/board/led_journal.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

namespace {

int journal = -1;
uint8_t journalled = 0;        // the byte of the journal's last line
uint8_t pins = 0;              // the byte the pins show now
uint64_t changedAt = 0;        // simulated time of the pins' last change
uint64_t changedAtWallMs = 0;  // the same moment on the wall clock

uint64_t WallClockMs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

void AppendLine(uint64_t wallMs, uint8_t leds) {
  char line[40];
  const int length = snprintf(line, sizeof line, "%llu %02X\n", static_cast<unsigned long long>(wallMs), leds);
  // O_APPEND and one write: the line lands whole, and a failed write (a full
  // disk) must not stop the board, so its result is not acted on.
  if (write(journal, line, static_cast<size_t>(length)) < 0) return;
}

}  // namespace

uint8_t LedByteFromPorts(uint8_t portD, uint8_t ddrD, uint8_t portB, uint8_t ddrB) {
  const uint8_t litD = portD & ddrD;  // PD2..PD7: LEDs 1..6
  const uint8_t litB = portB & ddrB;  // PB0, PB1: LEDs 7, 8
  return static_cast<uint8_t>((litD >> 2) | ((litB & 0x03) << 6));
}

bool StartLedJournal(const std::string& journalPath, uint8_t powerUpLeds, std::string* error) {
  if (journal >= 0) close(journal);
  journal = open(journalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (journal < 0) {
    *error = "cannot write " + journalPath + ": " + strerror(errno);
    return false;
  }
  journalled = pins = powerUpLeds;
  changedAt = 0;
  changedAtWallMs = WallClockMs();
  AppendLine(changedAtWallMs, powerUpLeds);
  return true;
}

void NoteLedPins(uint8_t leds, uint64_t simulatedMicroseconds) {
  if (leds == pins) return;
  pins = leds;
  changedAt = simulatedMicroseconds;
  changedAtWallMs = WallClockMs();
}

void JournalSettledLeds(uint64_t simulatedMicroseconds) {
  if (pins == journalled || simulatedMicroseconds - changedAt < kLedSettleMicroseconds) return;
  journalled = pins;
  AppendLine(changedAtWallMs, pins);
}
