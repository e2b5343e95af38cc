// Titles and details of the simulated board's frame.
#include "tools/ledview/board_frame.h"

#include "tools/ledview/write_age.h"

LedFrame BoardFrame(const BoardState& state) {
  const std::string port = "COM" + std::to_string(state.comNumber);
  LedFrame frame{};
  frame.title = "Pipstack LED controller on " + port + " (simulated board)";
  frame.shortTitle = port + " board";
  frame.hasLeds = state.ledsFound;
  frame.leds = state.leds;
  if (state.ledsFound) {
    const std::string age = FormatAge(state.changeAgeMs);
    frame.details = {
        {"LEDs     ", HexByte(state.leds) + "  " + BinaryByte(state.leds, true), "L ",
         HexByte(state.leds) + " " + BinaryByte(state.leds, false)},
        {"last change  ", age, "W ", age},
        {"journal  ", state.journalPath, "J ", state.journalPath},
    };
  } else if (state.journalFound) {
    frame.details = {{"", "the board on " + port + " has shown no LEDs yet", "", "no LEDs yet"},
                     {"journal  ", state.journalPath, "J ", state.journalPath}};
  } else {
    const std::string why = state.mapped ? "no " + state.journalPath : port + " is not in HKLM\\Software\\Wine\\Ports";
    frame.details = {{"", "no board running on " + port, "", "no board"}, {"", why, "", why}};
  }
  return frame;
}
