// Pipstack's USB LED controller: shows the LED byte that the program sends
// over the board's USB serial port on eight LEDs (protocol in led_protocol.h).
//
// Only the Arduino API (Serial, pinMode, digitalWrite), so that the sketch
// builds unchanged for any board with an Arduino core and a serial port over
// USB; what is AVR-only stays behind __AVR__.
#include "led_protocol.h"

#if defined(__AVR__)
#include <avr/interrupt.h>
#include <avr/sleep.h>
#endif

// The pins of LEDs 1 to 8, in that order: D2 to D9 of an Uno or Nano (also
// free on a Mega, a Leonardo and a Pro Micro). On other boards pick eight
// free output pins and list them here, for example on an ESP32 DevKit
// {13, 12, 14, 27, 26, 25, 33, 32} (its GPIO 6 to 11 belong to the flash
// chip), on a Raspberry Pi Pico GP2 to GP9 as they are.
const uint8_t kLedPins[] = {2, 3, 4, 5, 6, 7, 8, 9};
const uint8_t kLedPinCount = sizeof(kLedPins) / sizeof(kLedPins[0]);
static_assert(sizeof(kLedPins) == 8, "the LED byte drives eight LEDs");

LedLineReader lineReader;

void ShowLeds(uint8_t leds) {
  for (uint8_t i = 0; i < kLedPinCount; ++i) digitalWrite(kLedPins[i], (leds >> i) & 1 ? HIGH : LOW);
}

void SendIdentity() {
  Serial.print(kLedIdentityLine);
  Serial.print('\n');  // println would send CR LF
}

void HandleLine(const char* line) {
  const LedCommand command = DecodeLedCommand(line);
  if (command.kind == kLedCommandShow) ShowLeds(command.leds);
  if (command.kind == kLedCommandIdentify) SendIdentity();
}

#if defined(__AVR__)
// The LEDs are on or off, never dimmed: the timers that the core starts for
// analogWrite are stopped (Timer 0 stays, it counts millis). They raise no
// interrupt and cost a real board little, but a simulator steps a running
// PWM timer on every prescaler tick and would never let the board sleep.
void StopPwmTimers() {
#if defined(TCCR1B)
  TCCR1B = 0;
#endif
#if defined(TCCR2B)
  TCCR2B = 0;
#endif
#if defined(TCCR3B)
  TCCR3B = 0;
#endif
#if defined(TCCR4B)
  TCCR4B = 0;
#endif
#if defined(TCCR5B)
  TCCR5B = 0;
#endif
}

// Idle sleep until the next interrupt (a received byte, the millisecond
// timer), unless a byte has already arrived: the board draws less, and a
// simulator of it runs at real time instead of spinning. Interrupts stay off
// from the check to the sleep, and sei lets the sleep instruction run before
// any interrupt, so a byte arriving in between still wakes it.
void SleepUntilInterrupt() {
  set_sleep_mode(SLEEP_MODE_IDLE);
  cli();
  if (Serial.available() > 0) {
    sei();
    return;
  }
  sleep_enable();
  sei();
  sleep_cpu();
  sleep_disable();
}
#endif

void setup() {
  // Dark before anything else: each output is low from the moment it drives.
  for (uint8_t i = 0; i < kLedPinCount; ++i) {
    digitalWrite(kLedPins[i], LOW);
    pinMode(kLedPins[i], OUTPUT);
  }
#if defined(__AVR__)
  StopPwmTimers();
#endif
  ResetLedLine(&lineReader);
  Serial.begin(kLedProtocolBaud);
  SendIdentity();
}

void loop() {
  while (Serial.available() > 0) {
    if (FeedLedLine(&lineReader, static_cast<uint8_t>(Serial.read()))) HandleLine(lineReader.text);
  }
#if defined(__AVR__)
  SleepUntilInterrupt();
#endif
}
