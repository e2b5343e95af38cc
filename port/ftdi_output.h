// An FTDI breakout in asynchronous bit-bang mode as the LED output: its data
// lines D0..D7 hold the last byte written, as a parallel port's data
// register does. Chosen by name, never touched otherwise, so that an
// ordinary FTDI serial cable is not switched into bit-bang mode behind its
// user's back. Platform-free, over ftdi_library.h.
#pragma once

#include <cstdint>
#include <string>

enum FtdiOutputStatus : int32_t {
  kFtdiOutputOk = 0,
  kFtdiOutputNoLibrary = 1,      // ftd2xx.dll could not be loaded
  kFtdiOutputLibraryLacks = 2,   // it lacks an entry point (FtdiOutputMissingEntry)
  kFtdiOutputNotListed = 3,      // no such device attached, or the list failed
  kFtdiOutputOpenElsewhere = 4,  // another program holds it
  kFtdiOutputNotOpened = 5,
  kFtdiOutputNoBitBang = 6,  // it refused bit-bang mode
  kFtdiOutputNotWritten = 7,
  // Not listed by that serial number while another program holds a device:
  // the library tells nothing of a device that is open elsewhere, so it may
  // be that one.
  kFtdiOutputNotListedOrOpenElsewhere = 8,
};

// A device whose USB description begins with this is ours to take without
// being named (FTDI's own EEPROM tool sets the description).
constexpr char kFtdiOwnDescription[] = "Pipstack";

// Opens the device with that serial number, or the first listed when serial
// is empty; bit-bang mode, then the LEDs dark. Nothing is written to a
// device that fails on the way.
int32_t OpenFtdiOutput(const std::string& serial);
// Looks for a device described "Pipstack..." and opens it as above; false
// when there is none, or it cannot be opened (nothing else is touched).
bool FindFtdiOutput();
// The first entry point the library lacked, after kFtdiOutputLibraryLacks.
const std::string& FtdiOutputMissingEntry();
// How the open device is named: "FTDI FT232R A50285BI".
std::string FtdiOutputLabel();

// Shows the byte: 0, or kFtdiOutputNotWritten (the device went away).
int32_t WriteFtdiLeds(uint8_t byte);
// After a failed write: the device is let go, and RetryFtdiOutput looks for
// the same serial number again.
void LoseFtdiOutput();
// One attempt to come back: true once the device is listed again, open, in
// bit-bang mode and shows byte.
bool RetryFtdiOutput(uint8_t byte);
// Darkens the LEDs and closes the device, which stays in bit-bang mode (the
// pins keep the dark byte); releases the library. Harmless when nothing is
// open.
void CloseFtdiOutput();
