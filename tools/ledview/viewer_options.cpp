// Reads the LED viewer's command line.
#include "tools/ledview/viewer_options.h"

#include <cctype>
#include <cstring>

#include "emulation/ftdi/ftdi_machine.h"
#include "emulation/winio/virtual_machine.h"
#include "port/port_address.h"

const char kViewerUsage[] =
    "usage: ledview [--once] [LPTn | 0xADDRESS | FTDI | FTDI:SERIAL | COMn]\n"
    "Shows eight LEDs live in this console: those of a port of the virtual machine,\n"
    "LPT1 unless another is named, by name (LPT1, LPT2) or by the address of its\n"
    "data register (0x378, 0x278, or the plug-in card at 0xD010); the pins of an\n"
    "emulated FTDI device (FTDI: the LED board A50285BI; FTDI:A10K7T3X: the cable);\n"
    "or those of the simulated LED controller on a COM port (COM7). Ctrl+C ends it.\n"
    "  --once  print one frame and exit\n";

namespace {

bool SameText(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

// The base address the BIOS lists for port number n (LPTn); 0 for none.
uint16_t ListedBase(int32_t number) {
  if (number < kFirstPortNumber || number > kBiosParallelPortWords) return 0;
  return kPowerOnBiosPortWords[static_cast<size_t>(number - kFirstPortNumber)];
}

// A port as the program names it, "LPTn" or an address, or "n" with one
// digit; the emulated port it names, or -1.
int PortIndex(const char* text) {
  uint16_t base = 0;
  if (std::strlen(text) == 1 && text[0] >= '1' && text[0] <= '9') {
    base = ListedBase(text[0] - '0');
  } else {
    const PortArgument argument = ReadPortArgument(text);
    if (argument.kind == kPortArgumentName) base = ListedBase(argument.number);
    if (argument.kind == kPortArgumentAddress) base = argument.base;
  }
  for (int i = 0; i < kPortCount; ++i) {
    if (base != 0 && kPortBases[i] == base) return i;
  }
  return -1;
}

bool StartsWith(const char* text, const char* start) {
  for (; *start != '\0'; ++text, ++start) {
    if (std::tolower(static_cast<unsigned char>(*text)) != std::tolower(static_cast<unsigned char>(*start))) {
      return false;
    }
  }
  return true;
}

// "FTDI" is the LED board; "FTDI:" and a serial number (in any case) the
// device that has it; -1 for any other text.
int FtdiSlot(const char* text) {
  if (SameText(text, "FTDI")) return kFtdiLedBoardSlot;
  if (!StartsWith(text, "FTDI:")) return -1;
  for (int slot = 0; slot < kFtdiSlotCount; ++slot) {
    if (SameText(text + 5, kFtdiSlots[slot].serialNumber)) return slot;
  }
  return -1;
}

}  // namespace

int32_t ParseViewerOptions(int argc, const char* const* argv, ViewerOptions* options) {
  *options = ViewerOptions{0, false, false, kViewParallel, kFtdiLedBoardSlot, 0};
  bool portGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (SameText(argument, "--once")) {
      options->once = true;
    } else if (SameText(argument, "--help") || SameText(argument, "-h") || SameText(argument, "/?")) {
      options->help = true;
    } else if (argument[0] == '-') {
      return kOptionsUnknown;
    } else {
      if (portGiven) return kOptionsTwoPorts;
      portGiven = true;
      const int slot = FtdiSlot(argument);
      const int com = SerialPortNumber(argument);
      const int index = PortIndex(argument);
      if (slot >= 0) {
        options->output = kViewFtdi;
        options->ftdiSlot = slot;
      } else if (com > 0) {
        options->output = kViewBoard;
        options->comNumber = com;
      } else if (index >= 0) {
        options->portIndex = index;
      } else {
        return kOptionsBadPort;
      }
    }
  }
  return kOptionsOk;
}
