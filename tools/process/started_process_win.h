// A program started as a process of its own, as the end-to-end tests and the
// benchmark start pipstack.exe and its companions.
#pragma once

#include <windows.h>

#include <string>

#include "core/scoped_win.h"

// The started process; its handles are closed when it goes out of scope.
class StartedProcess {
 public:
  // Runs exe with the text after its name, in the given working folder.
  bool Start(const std::string& exe, const std::string& arguments, const std::string& folder);
  DWORD Id() const { return id_; }
  HANDLE Handle() const { return process_.Get(); }
  // True when the process ended within the time; its exit code goes to
  // exitCode when one is given.
  bool WaitForExit(DWORD milliseconds, DWORD* exitCode = nullptr) const;
  // Ends the process if it still runs (a test that failed half-way).
  void Kill() const;

 private:
  ScopedHandle process_;
  ScopedHandle thread_;
  DWORD id_ = 0;
};
