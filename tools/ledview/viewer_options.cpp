// Reads the LED viewer's command line.
#include "tools/ledview/viewer_options.h"

#include <cctype>
#include <cstring>
#include <string>

#include "emulation/winio/virtual_machine.h"

const char kViewerUsage[] =
    "usage: ledview [--once] [LPTn]\n"
    "Shows the eight LEDs of the virtual parallel port (LPT1 unless another is\n"
    "named, LPT1 or LPT2) live in this console; Ctrl+C ends it.\n"
    "  --once  print one frame and exit\n";

namespace {

bool SameText(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

// "LPTn" or "n" with one digit n naming an emulated port; -1 otherwise.
int PortIndex(const char* text) {
  if (std::strlen(text) == 4 && SameText(std::string(text, 3).c_str(), "lpt")) text += 3;
  if (std::strlen(text) != 1 || text[0] < '1' || text[0] > '9') return -1;
  const int index = text[0] - '1';
  return index < kPortCount ? index : -1;
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
