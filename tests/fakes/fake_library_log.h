// The call logs of the fake libraries, kept in the loading process's
// environment, which outlives the libraries being released. The port-I/O
// fakes share PIPSTACK_FAKE_WINIO_LOG, so one log shows the order across
// WinIO.dll, the InpOut library and the virtual port.
#pragma once

#include <windows.h>

#include <string>

// Appends event to the log kept in the environment variable of that name.
inline void AppendToLog(const char* variable, const std::string& event) {
  char text[4096] = "";
  const DWORD length = GetEnvironmentVariableA(variable, text, sizeof text);
  std::string log = length < sizeof text ? std::string(text, length) : std::string();
  if (!log.empty()) log += ' ';
  log += event;
  SetEnvironmentVariableA(variable, log.c_str());
}

inline void LogLibraryEvent(const std::string& event) { AppendToLog("PIPSTACK_FAKE_WINIO_LOG", event); }

inline std::string LogHex(unsigned long value) {
  char text[16];
  wsprintfA(text, "%lx", value);
  return text;
}
