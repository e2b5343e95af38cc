// Reads the LED viewer's command line.
#include "tools/ledview/viewer_options.h"

#include <cctype>
#include <cstring>

#include "emulation/winio/virtual_machine.h"
#include "port/port_address.h"

const char kViewerUsage[] =
    "usage: ledview [--once] [LPTn | 0xADDRESS]\n"
    "Shows the eight LEDs of a port of the virtual machine live in this console:\n"
    "LPT1 unless another is named, by name (LPT1, LPT2) or by the address of its\n"
    "data register (0x378, 0x278, or the plug-in card at 0xD010); Ctrl+C ends it.\n"
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

}  // namespace

int32_t ParseViewerOptions(int argc, const char* const* argv, ViewerOptions* options) {
  *options = ViewerOptions{0, false, false};
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
      const int index = PortIndex(argument);
      if (index < 0) return kOptionsBadPort;
      options->portIndex = index;
      portGiven = true;
    }
  }
  return kOptionsOk;
}
