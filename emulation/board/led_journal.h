// The simulated board's eight LEDs as its pins show them, and their journal.
//
// LED n hangs on pin D(n+1) of the Uno: D2..D7 are PD2..PD7, D8 and D9 are
// PB0 and PB1. An LED is lit while its pin is an output driven high.
//
// The journal, PATH.leds, has one line per state the LEDs settled in:
//   <milliseconds since the Unix epoch, decimal> <LED byte, two upper-case hex digits>\n
// bit n-1 = LED n. Its first line is the pins at power-up. Each line goes out
// in one write(), so a reader never sees half a line.
#pragma once

#include <stdint.h>

#include <string>

// The firmware sets the LEDs one pin at a time, and the byte lands on two
// ports: a state counts once the pins have held still this long (simulated).
constexpr uint64_t kLedSettleMicroseconds = 1000;

// The LED byte of port D's and port B's output and direction registers.
uint8_t LedByteFromPorts(uint8_t portD, uint8_t ddrD, uint8_t portB, uint8_t ddrB);

// Truncates (or makes) the journal and writes the power-up line.
bool StartLedJournal(const std::string& journalPath, uint8_t powerUpLeds, std::string* error);

// The pins as they are now, at this simulated time; call on every pin change.
void NoteLedPins(uint8_t leds, uint64_t simulatedMicroseconds);

// Appends a line when the pins have held still for kLedSettleMicroseconds
// and show another byte than the journal's last line. The line carries the
// wall-clock time of the pins' last change.
void JournalSettledLeds(uint64_t simulatedMicroseconds);
