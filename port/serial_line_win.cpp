// A serial port on Windows: CreateFileA on \\.\COMn, the line set with
// SetCommState and SetCommTimeouts, and the system's list of serial ports.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/scoped_win.h"
#include "port/port_address.h"
#include "port/serial_line.h"

namespace {

// Where the system lists its serial ports: a value per port whose data is
// its name ("COM3"). Wine fills it from HKLM\Software\Wine\Ports.
constexpr char kSerialPortListKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

constexpr DWORD kBaud = 115200;

// 8N1, no flow control of either kind. DTR and RTS are raised where the
// port can: a native USB board (a Leonardo) sends only while DTR is up.
DCB LineSettings(DCB dcb, bool raiseControls) {
  dcb.BaudRate = kBaud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  dcb.fDtrControl = raiseControls ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = raiseControls ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  return dcb;
}

bool SetLine(HANDLE port) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(port, &dcb)) return false;
  // A port that refuses the modem controls (a pseudo-terminal under Wine)
  // works without them.
  DCB wanted = LineSettings(dcb, true);
  if (!SetCommState(port, &wanted)) {
    wanted = LineSettings(dcb, false);
    if (!SetCommState(port, &wanted)) return false;
  }
  // Reads return at once with what has arrived; a write gives up in time.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = kSerialWriteLimitMs;
  return SetCommTimeouts(port, &timeouts) != FALSE;
}

HANDLE HandleOf(const SerialLine& line) { return static_cast<HANDLE>(line.handle); }

}  // namespace

int32_t OpenSerialLine(int32_t number, SerialLine* line) {
  CloseSerialLine(line);
  char path[32];
  std::snprintf(path, sizeof path, "\\\\.\\COM%d", static_cast<int>(number));
  // Share mode 0: a port another program holds is not taken.
  const HANDLE port =
      CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (port == INVALID_HANDLE_VALUE) return kSerialLineNotOpened;
  if (!SetLine(port)) {
    CloseHandle(port);
    return kSerialLineNotSet;
  }
  line->handle = port;
  return kSerialLineOk;
}

void CloseSerialLine(SerialLine* line) {
  if (line->handle != nullptr) CloseHandle(HandleOf(*line));
  line->handle = nullptr;
}

bool WriteSerialLine(const SerialLine& line, const char* bytes, uint32_t size) {
  if (line.handle == nullptr) return false;
  DWORD written = 0;
  return WriteFile(HandleOf(line), bytes, size, &written, nullptr) && written == size;
}

int32_t ReadSerialLine(const SerialLine& line, char* buffer, uint32_t size) {
  if (line.handle == nullptr) return -1;
  DWORD got = 0;
  if (!ReadFile(HandleOf(line), buffer, size, &got, nullptr)) return -1;
  return static_cast<int32_t>(got);
}

std::vector<int32_t> ListSerialPorts() {
  std::vector<int32_t> numbers;
  ScopedKey list;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialPortListKey, 0, KEY_READ, list.Out()) != ERROR_SUCCESS) return numbers;
  for (DWORD index = 0;; ++index) {
    char name[256];
    char data[32];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data - 1;
    DWORD type = REG_NONE;
    const LONG status =
        RegEnumValueA(list.Get(), index, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS || type != REG_SZ) continue;
    data[dataSize] = '\0';
    // The port's name as the command line would give it: COMn.
    const int32_t number = SerialPortNumber(data);
    if (number != 0) numbers.push_back(number);
  }
  return numbers;
}

uint32_t SerialClockMs() { return GetTickCount(); }

void PauseSerialMs(uint32_t milliseconds) { Sleep(milliseconds); }
