// Recording stand-ins for ShowTestComplete and SaveAndRestoreForSessionEnd.
#include "tests/fakes/app_fakes.h"

#include "app/led_patterns.h"
#include "app/session_end.h"
#include "tests/fakes/meter_io_fakes.h"

AppFakes app;

void ResetAppFakes() { app = AppFakes{}; }

void ShowTestComplete(const char* text) {
  app.boxes.emplace_back(text);
  app.writesAtBox.push_back(static_cast<int32_t>(fakes.writes.size()));
}

void SaveAndRestoreForSessionEnd() { ++app.sessionEndCalls; }
