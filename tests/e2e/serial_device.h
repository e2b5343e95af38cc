// A device behind one of the test session's serial ports (COM7 to COM9, see
// cmake/wine-session.sh): the simulated board running our firmware, or a
// serial peer that is no LED controller. Both are Linux programs, started
// from here and stopped through their stop files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LedChange {
  int64_t unixMs;
  int32_t byte;
};

class SerialDevice {
 public:
  explicit SerialDevice(int32_t comPort);
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  // Each returns once the device's port is there.
  bool StartBoard();
  bool StartPeer(const std::string& answer);
  // The device goes away, as when its USB cable is pulled; true once gone.
  bool Stop();

  // The board's pins, each settled byte with its time.
  std::vector<LedChange> Pins() const;
  bool WaitForPins(int32_t byte, uint32_t milliseconds) const;
  // What a peer has heard.
  std::string Heard() const;

 private:
  bool Launch(const std::string& program, const std::string& arguments);
  std::string unixPath_;  // where the port's pseudo-terminal is linked
  std::string path_;      // the same, as the program sees it (Z:)
};

// Milliseconds since the Unix epoch, the board's clock.
int64_t UnixMilliseconds();
