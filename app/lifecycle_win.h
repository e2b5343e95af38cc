// Bringing the program up and down: what WinMain holds for the life of the
// process, the messages it shows, and the clean-up sequences.
#pragma once

#include <windows.h>

#include <cstdint>

// Other processes rely on this name: a second start knows the running meter
// by it, then finds its poll window (background_window.h).
constexpr char kMutexName[] = "!!!Pipstack!!!";
constexpr char kMessageCaption[] = "Pipstack";

constexpr char kMutexFailedText[] = "Could not create mutex object!";
constexpr char kPdhFailedText[] = "Could not start PDH monitor!";
constexpr char kCpuFailedText[] = "Could not start CPU monitor!";
constexpr char kNoPortText[] = "No parallel port found on the system!";
constexpr char kPortFailedText[] = "Could not open parallel port!";
constexpr char kSettingsFailedText[] = "Could not load settings from the Registry!";
constexpr char kWindowFailedText[] = "Could not create background window!";
constexpr char kUpdateFailedText[] = "Could not update LEDs!";
constexpr char kSaveFailedText[] = "Could not save settings to the Registry!";

enum InstanceStatus : int32_t {
  kInstanceFirst = 0,           // this process is the meter
  kInstanceNoMutex = 1,         // the system refused the mutex
  kInstanceAlreadyRunning = 2,  // a meter runs already: this is a second start
};

// Creates the single-instance mutex, held until close down.
InstanceStatus TakeInstanceMutex();

// A failure that ends the program: no owner, the program's caption, error icon.
void ShowFailure(const char* text);

// Starts the family of sources that is in force; 0, or the message to show.
const char* StartSources();
// Stops the family in force at this moment; results ignored.
void StopSources();
// Saves the settings when the poll loop ended on a quit; a failure is shown
// in the failure box, and close down goes on after it as usual.
void SaveSettingsAtQuit();
// Closes the single-instance mutex; harmless when it is closed.
void CloseInstanceMutex();
// Restores the port and releases its driver (or darkens and lets go of a
// USB output), forgets the port name, stops the sources and closes the
// mutex.
void CloseDown();
