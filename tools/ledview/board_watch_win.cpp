// Finds the Unix path Wine maps a COM port to and reads the simulated
// board's LED journal beside it through the Z: drive.
#include "tools/ledview/board_watch.h"

#include <windows.h>

#include <string>

#include "core/scoped_win.h"
#include "tools/ledview/board_journal.h"

namespace {

// Wine's mount manager reads its COM port mappings from here: the value
// "COMn" is the Unix path of the device.
constexpr char kWinePortsKey[] = "Software\\Wine\\Ports";

int watchedCom = 0;

// The mapping of COMn, or "" when there is none. The 64-bit view, which a
// 32-bit viewer would otherwise miss under WOW6432Node.
std::string MappedPath(int comNumber) {
  ScopedKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWinePortsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.Out()) !=
      ERROR_SUCCESS) {
    return "";
  }
  const std::string name = "COM" + std::to_string(comNumber);
  char path[MAX_PATH + 1] = {};
  DWORD type = REG_NONE;
  DWORD size = MAX_PATH;  // one byte spare for the zero a stored string may lack
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(path), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return "";
  }
  path[size < MAX_PATH ? size : MAX_PATH] = '\0';
  return path;
}

// The journal's last kBoardJournalTail bytes, and whether they start at its
// beginning; false when there is no journal.
bool ReadTail(const std::string& path, std::string* tail, bool* fromStart) {
  // Shared every way: the board goes on appending while we read.
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size)) return false;
  const LONGLONG start = size.QuadPart > kBoardJournalTail ? size.QuadPart - kBoardJournalTail : 0;
  LARGE_INTEGER at{};
  at.QuadPart = start;
  std::string bytes(kBoardJournalTail, '\0');
  DWORD got = 0;
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
      !ReadFile(file.Get(), &bytes[0], kBoardJournalTail, &got, nullptr)) {
    return false;
  }
  bytes.resize(got);
  *tail = bytes;
  *fromStart = start == 0;
  return true;
}

int64_t UnixNowMs() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return FileTimeToUnixMs(uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime);
}

}  // namespace

void StartBoardWatch(int comNumber) { watchedCom = comNumber; }

BoardState WatchBoard() {
  BoardState state{};
  state.comNumber = watchedCom;
  const std::string unixPath = MappedPath(watchedCom);
  state.mapped = !unixPath.empty();
  if (!state.mapped) return state;
  state.journalPath = unixPath + ".leds";
  std::string tail;
  bool fromStart = false;
  state.journalFound = ReadTail(BoardJournalPath(unixPath), &tail, &fromStart);
  const BoardLedLine line = LastBoardLedLine(tail, fromStart);
  state.ledsFound = line.found;
  state.leds = line.leds;
  state.changeAgeMs = line.found ? UnixNowMs() - line.timeMs : 0;
  return state;
}
