// Starting pipstack.exe as a process under Wine and watching what it shows:
// its windows, its message boxes, its exit and its registry values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tools/process/started_process_win.h"

// A running pipstack.exe.
using Program = StartedProcess;

// Starts the program of that folder with the given command-line text after its
// name; the working folder is workingFolder, or the program's own.
bool StartProgram(Program* program, const std::string& folder, const std::string& arguments,
                  const std::string& workingFolder = "");

// The top-level window of that class and title, waiting up to the time; with
// mustBeVisible only once it is shown.
HWND WaitForWindow(const char* windowClass, const char* title, DWORD milliseconds, bool mustBeVisible);

// A message box of the process with the caption "Pipstack": its text, or ""
// when none appeared in the time. The box is left open in *box.
std::string WaitForMessageBox(const Program& program, DWORD milliseconds, HWND* box);

// Presses OK in a message box.
void DismissMessageBox(HWND box);

// The program's settings key: removed (unlocked first), or read value by value.
void DeleteSettingsKey();
// Creates the key and lets everyone read it but nobody set values in it;
// only changing its permissions stays allowed, so DeleteSettingsKey can undo it.
bool MakeSettingsKeyReadOnly();
bool ReadSettingDword(const char* name, int32_t* value);
bool ReadSettingString(const char* name, std::string* value);
int32_t CountSettingValues();
bool WriteSettingDword(const char* name, int32_t value);
bool WriteSettingString(const char* name, const char* value);
// Stores data of any type and size, as another tool might.
bool WriteSettingBytes(const char* name, DWORD type, const void* data, DWORD size);
// The stored type of a value; REG_NONE when it is missing.
DWORD SettingType(const char* name);
