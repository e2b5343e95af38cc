// Titles and details of an FTDI device's frame.
#include "tools/ledview/ftdi_frame.h"

#include "port/d2xx_constants.h"
#include "tools/ledview/write_age.h"

namespace {

FrameDetail Mode(const FtdiState& state) {
  if (!state.plugged) return {"mode     ", "none, no power", "M ", "-"};
  const std::string mask = HexByte(state.mask);
  switch (state.bitMode) {
    case kFtBitModeAsyncBitBang:
      return {"mode     ", "async bit-bang, mask " + mask, "M ", "async " + mask};
    case kFtBitModeSyncBitBang:
      return {"mode     ", "sync bit-bang, mask " + mask, "M ", "sync " + mask};
    default:
      return {"mode     ", "UART mode", "M ", "UART"};
  }
}

FrameDetail Device(const FtdiState& state) {
  if (!state.plugged) return {"device   ", "unplugged", "S ", "unplugged"};
  if (!state.open) return {"device   ", "plugged, not open", "S ", "closed"};
  if (state.openerProcessId == 0) return {"device   ", "plugged, open elsewhere", "S ", "open"};
  const std::string process = std::to_string(state.openerProcessId);
  return {"device   ", "plugged, open by process " + process, "S ", "open " + process};
}

}  // namespace

LedFrame FtdiFrame(const FtdiState& state) {
  LedFrame frame{};
  frame.title = "Pipstack LEDs on FTDI " + state.serialNumber + " (" + state.description + ")";
  frame.shortTitle = "FTDI " + state.serialNumber;
  frame.hasLeds = true;
  frame.leds = state.pins;
  const std::string age = state.written ? FormatAge(state.writeAgeMs) : "none seen";
  frame.details = {
      {"pins     ", HexByte(state.pins) + "  " + BinaryByte(state.pins, true), "P ",
       HexByte(state.pins) + " " + BinaryByte(state.pins, false)},
      Mode(state),
      Device(state),
      {"last write  ", age, "W ", age},
  };
  return frame;
}
