// A simulated serial device (simboard, serial_peer) started for a test on a
// scratch path, and its pty opened as the program opens a COM port.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class SerialDevice {
 public:
  SerialDevice();   // makes the scratch folder
  ~SerialDevice();  // ends the device if it still runs, removes the folder
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // The device's PATH and the files beside it.
  const std::string& Path() const { return path_; }
  std::string File(const char* suffix) const { return path_ + suffix; }

  // Starts program with args (PATH among them, as the caller places it) and
  // waits until PATH.pid names it. False, with the program's output in
  // Log(), when it did not get that far.
  bool Start(const std::string& program, const std::vector<std::string>& args);
  // Waits up to timeoutMs for the process to end; its exit code (128 + the
  // signal for one ended by a signal), or -1 while it runs.
  int WaitForExit(int timeoutMs);
  pid_t Pid() const { return pid_; }
  std::string Log() const;

  // Opens PATH as a serial line: 115200 8N1, raw, no flow control.
  bool Open();
  int Fd() const { return fd_; }
  bool Send(const std::string& bytes);
  // Reads until an LF arrives (returned without it) or timeoutMs pass (then
  // what came so far, and *complete false).
  std::string ReadLine(int timeoutMs, bool* complete);
  // Everything that arrives within timeoutMs.
  std::string ReadFor(int timeoutMs);
  // True when the other side hung up (its master side closed) within timeoutMs.
  bool HungUp(int timeoutMs);

 private:
  std::string dir_;
  std::string path_;
  pid_t pid_ = -1;
  int exitCode_ = -1;
  int fd_ = -1;
};

// The whole of a file, or "" when there is none.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// Calls done() every few milliseconds until it is true or timeoutMs pass.
template <typename Done>
bool WaitUntil(int timeoutMs, Done done);
void SleepMs(int ms);

template <typename Done>
bool WaitUntil(int timeoutMs, Done done) {
  for (int waited = 0; waited < timeoutMs; waited += 5) {
    if (done()) return true;
    SleepMs(5);
  }
  return done();
}
