// The USB LED controller's text protocol (version 1): its constants and the
// line parser, shared by the controller's firmware and the program that
// drives it. Plain C++11 over <stdint.h>, so that avr-gcc compiles it too.
//
// Serial at 115200 baud, 8 data bits, no parity, 1 stop bit, no flow control.
// Text lines in ASCII, each ended by LF.
//   host to device: "Lhh" (h a hex digit, either case; the L too) shows that
//                   LED byte, bit n-1 = LED n: "L1F" lights LEDs 1 to 5.
//                   "?" asks the device who it is.
//   device to host: kLedIdentityLine, once when the device has started and
//                   again in answer to every "?". Nothing else, ever.
// Every other line is ignored; the device keeps showing the last byte.
//
// The fine points, the same for both directions:
// - A CR just before the LF is not part of the line. A CR anywhere else is a
//   character like any other, so "L1\rF" or "L1F\r\r" is no command.
// - A line of more than kLedLineLimit characters (the LF and a CR just before
//   it not counted) is dropped, up to and including its LF; the next line is
//   read as usual.
// - A NUL byte is a character like any other: it counts towards the limit.
//   A line that holds one cannot be handed on as zero-terminated text, and no
//   line with one is a command, so it is dropped like an overlong line.
// - A command is the whole line: "L" and exactly two hex digits, or "?" alone.
//   No blanks around it, no sign, no "0x".
#pragma once

#include <stdint.h>

constexpr unsigned long kLedProtocolBaud = 115200;
// The device's identity; the 1 is the protocol version. Without its LF.
constexpr char kLedIdentityLine[] = "PIPSTACK LEDS 1";
// Characters in a line, the LF (and a CR before it) not counted.
constexpr unsigned kLedLineLimit = 32;

// Assembles lines from bytes as they arrive, one call per byte, so that a line
// split across reads (or several lines in one read) needs nothing special.
// Begin with ResetLedLine.
struct LedLineReader {
  // The line so far. After FeedLedLine returns true: the whole line,
  // zero-terminated, without its CR/LF; it stays so until the next call.
  // Room for the limit, a CR that may yet turn out to end the line, and the
  // terminating zero.
  char text[kLedLineLimit + 2];
  uint8_t length;  // bytes of the line in progress held in text (0 once a line has ended)
  bool overlong;   // more than the limit arrived: dropped up to the next LF
};
static_assert(kLedLineLimit + 1 <= 255, "the line in progress must fit in LedLineReader::length");

// Forgets any line in progress.
void ResetLedLine(LedLineReader* reader);

// Takes one received byte; true when it ended a line of at most
// kLedLineLimit characters, which reader->text then holds (an overlong line,
// or one holding a NUL, ends with false and is forgotten).
bool FeedLedLine(LedLineReader* reader, uint8_t byte);

enum LedCommandKind : uint8_t { kLedCommandIgnored = 0, kLedCommandShow = 1, kLedCommandIdentify = 2 };
struct LedCommand {
  LedCommandKind kind;
  uint8_t leds;  // the LED byte of kLedCommandShow, else 0
};

// What a line received by the device asks for: "L1F" -> {Show, 0x1F},
// "?" -> {Identify}, anything else (or no line at all) -> {Ignored}.
LedCommand DecodeLedCommand(const char* line);
