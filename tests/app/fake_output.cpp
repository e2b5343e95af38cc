// Recording stand-ins for the port, the pause, the completion box and the
// session-end save.
#include "app/session_end.h"
#include "app/led_patterns.h"
#include "core/meter_io.h"
#include "tests/app/app_fakes.h"

OutputFakes output;

void ResetOutputFakes() { output = OutputFakes{}; }

int32_t WriteLedByte(int32_t value) {
  const bool fails = static_cast<int32_t>(output.writes.size()) == output.failWriteAt;
  output.writes.push_back(value);
  return fails ? 2 : 0;
}

void SleepMilliseconds(int32_t milliseconds) { output.sleeps.push_back(milliseconds); }

void ShowTestComplete(const char* text) {
  output.boxes.emplace_back(text);
  output.writesAtBox.push_back(static_cast<int32_t>(output.writes.size()));
}

void SaveAndRestoreForSessionEnd() { ++output.sessionEndCalls; }
