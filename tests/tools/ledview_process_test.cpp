// ledview.exe run as a process against what this test sets up: the virtual
// port written through its WinIO library, the emulated FTDI devices through
// our ftd2xx.dll, and a simulated board's journal where Wine maps a COM port.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/scoped_win.h"
#include "emulation/ftdi/virtual_ftdi_view_win.h"
#include "emulation/winio/virtual_port_view_win.h"
#include "tests/emulation/ftdi_library.h"
#include "tests/emulation/winio_library.h"

namespace {

struct LedviewRun {
  int exitCode;
  std::string output;  // standard output and error together
};

// Runs ledview with arguments, its output captured through a pipe.
LedviewRun RunLedview(const std::string& arguments) {
  LedviewRun run{-1, ""};
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::string command = std::string("\"") + PIPSTACK_LEDVIEW + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                      &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    run.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string LineStarting(const std::vector<std::string>& lines, const std::string& start) {
  for (const std::string& line : lines) {
    if (line.rfind(start, 0) == 0) return line;
  }
  return "(no line starting \"" + start + "\")";
}

// The milliseconds of "last data write  N ms ago" or "N.N s ago"; -1 else.
long AgeMs(const std::string& line) {
  const std::string prefix = "last data write  ";
  if (line.rfind(prefix, 0) != 0) return -1;
  char* end = nullptr;
  const double number = std::strtod(line.c_str() + prefix.size(), &end);
  if (end == nullptr) return -1;
  const std::string unit = end;
  if (unit == " ms ago") return static_cast<long>(number);
  if (unit == " s ago") return static_cast<long>(number * 1000);
  return -1;
}

class LedviewProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    // Held open for the test, so the machine ledview sees is this one.
    ASSERT_EQ(OpenVirtualPort(kVirtualPortCreate, &view), kVirtualPortOk);
    ResetVirtualPort(view);
    ASSERT_TRUE(LoadWinIoLibrary(&winio));
    ASSERT_TRUE(winio.InitializeWinIo());
  }
  void TearDown() override {
    if (winio.ShutdownWinIo != nullptr) winio.ShutdownWinIo();
    FreeWinIoLibrary(&winio);
    CloseVirtualPort(&view);
  }
  VirtualPortView view{};
  WinIoLibrary winio{};
};

TEST_F(LedviewProcessTest, OnceShowsTheByteJustWritten) {
  const struct {
    const char* arguments;
    WORD base;
    DWORD data;
    DWORD control;
    const char* title;
    const char* marks;
    const char* dataLine;
    const char* controlLine;
  } rows[] = {
      {"--once", 0x378, 0xA5, 0x0B, "Pipstack LEDs on LPT1 (0x378)", "     (#)  ( )  (#)  ( )  ( )  (#)  ( )  (#)",
       "data     0xA5  1010 0101", "control  0xCB  1100 1011"},
      {"--once LPT2", 0x278, 0x0F, 0x04, "Pipstack LEDs on LPT2 (0x278)", "     ( )  ( )  ( )  ( )  (#)  (#)  (#)  (#)",
       "data     0x0F  0000 1111", "control  0xC4  1100 0100"},
      {"--once 0xD010", 0xD010, 0x81, 0x0B, "Pipstack LEDs at 0xD010", "     (#)  ( )  ( )  ( )  ( )  ( )  ( )  (#)",
       "data     0x81  1000 0001", "control  0xCB  1100 1011"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    ASSERT_TRUE(winio.SetPortVal(row.base + 2, row.control, 1));
    ASSERT_TRUE(winio.SetPortVal(row.base, row.data, 1));
    const LedviewRun run = RunLedview(row.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_GE(lines.size(), 8u) << run.output;
    EXPECT_EQ(lines[0], row.title);
    EXPECT_EQ(lines[3], row.marks);
    EXPECT_EQ(LineStarting(lines, "data "), row.dataLine);
    EXPECT_EQ(LineStarting(lines, "control "), row.controlLine);
    const long age = AgeMs(LineStarting(lines, "last data write"));
    EXPECT_GE(age, 0) << run.output;
    EXPECT_LT(age, 20000) << run.output;
    EXPECT_EQ(run.output.find("Ctrl+C"), std::string::npos) << "no hint in a single frame";
  }
}

TEST_F(LedviewProcessTest, AgeCountsFromTheLastDataWriteOnly) {
  ASSERT_TRUE(winio.SetPortVal(0x378, 0x3C, 1));
  Sleep(1500);
  // Neither the control register nor the other port's data is a data write
  // of LPT1, nor is a refused write.
  ASSERT_TRUE(winio.SetPortVal(0x37A, 0x0B, 1));
  ASSERT_TRUE(winio.SetPortVal(0x278, 0xFF, 1));
  ASSERT_FALSE(winio.SetPortVal(0x378, 0x01, 2));
  const LedviewRun run = RunLedview("--once");
  const std::vector<std::string> lines = Lines(run.output);
  const long age = AgeMs(LineStarting(lines, "last data write"));
  EXPECT_GE(age, 1400) << run.output;
  EXPECT_LT(age, 30000) << run.output;
  EXPECT_EQ(LineStarting(lines, "data "), "data     0x3C  0011 1100");
}

TEST_F(LedviewProcessTest, APortNeverWrittenSaysSo) {
  // The machine may have seen writes to LPT2 before this test: writes to
  // LPT1 that fill the whole journal push them out of what ledview reads.
  for (uint32_t i = 0; i < kJournalLength; ++i) ASSERT_TRUE(winio.SetPortVal(kPortBases[0], i, 1));
  for (const JournalEntry& entry : ReadJournal(view, 0)) {
    ASSERT_FALSE(entry.kind == kJournalPortWrite && entry.address == kPortBases[1]) << entry.sequence;
  }
  const LedviewRun run = RunLedview("--once LPT2");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(LineStarting(Lines(run.output), "last data write"), "last data write  none seen") << run.output;
  // Its power-on byte, 0xC3.
  EXPECT_EQ(LineStarting(Lines(run.output), "data "), "data     0xC3  1100 0011") << run.output;
}

TEST_F(LedviewProcessTest, WrongCommandLinesAndNoConsoleEndWithAnError) {
  const struct {
    const char* arguments;
    int exitCode;
    const char* says;
  } rows[] = {
      {"LPT3 --once", 2, "usage: ledview"},
      {"--help", 0, "usage: ledview"},
      // A live view into a pipe has nowhere to paint: it ends at once.
      {"", 1, "needs a console"},
  };
  for (const auto& row : rows) {
    const LedviewRun run = RunLedview(row.arguments);
    EXPECT_EQ(run.exitCode, row.exitCode) << row.arguments;
    EXPECT_NE(run.output.find(row.says), std::string::npos) << row.arguments << ": " << run.output;
  }
}

// Through our ftd2xx.dll, as the program drives the LED board.
class LedviewFtdiTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OpenVirtualFtdi(kVirtualFtdiCreate, &view), kVirtualFtdiOk);
    PowerOnVirtualFtdi(view);
    ASSERT_TRUE(LoadFtdiLibrary(kVirtualFtdiFolder, &ftdi));
  }
  void TearDown() override {
    FreeFtdiLibrary(&ftdi);
    CloseVirtualFtdi(&view);
  }
  VirtualFtdiView view{};
  FtdiLibrary ftdi{};
};

TEST_F(LedviewFtdiTest, OnceShowsTheDevicesPinsModeAndState) {
  FT_HANDLE board = nullptr;
  ASSERT_EQ(ftdi.OpenEx(const_cast<char*>("A50285BI"), kFtOpenBySerialNumber, &board), kFtOk);
  ASSERT_EQ(ftdi.SetBitMode(board, 0x7F, kFtBitModeAsyncBitBang), kFtOk);
  UCHAR byte = 0xA5;
  DWORD written = 0;
  ASSERT_EQ(ftdi.Write(board, &byte, 1, &written), kFtOk);
  const uint64_t before = FtdiJournalTotal(view);
  const std::string opener = "device   plugged, open by process " + std::to_string(GetCurrentProcessId());
  const struct {
    const char* arguments;
    const char* title;
    const char* marks;
    const char* mode;
    std::string device;
    bool written;
  } rows[] = {
      {"--once FTDI", "Pipstack LEDs on FTDI A50285BI (Pipstack LEDs)", "     ( )  ( )  (#)  ( )  ( )  (#)  ( )  (#)",
       "mode     async bit-bang, mask 0x7F", opener, true},
      {"--once FTDI:A10K7T3X", "Pipstack LEDs on FTDI A10K7T3X (FT232R USB UART)",
       "     ( )  ( )  ( )  ( )  ( )  ( )  ( )  ( )", "mode     none, no power", "device   unplugged", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    const LedviewRun run = RunLedview(row.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_GE(lines.size(), 9u) << run.output;
    EXPECT_EQ(lines[0], row.title);
    EXPECT_EQ(lines[3], row.marks);
    EXPECT_EQ(LineStarting(lines, "mode "), row.mode);
    EXPECT_EQ(LineStarting(lines, "device "), row.device);
    const std::string age = LineStarting(lines, "last write  ");
    if (row.written) {
      EXPECT_NE(age.find(" ago"), std::string::npos) << age;
    } else {
      EXPECT_EQ(age, "last write  none seen");
    }
  }
  // Watching is no call on the devices.
  EXPECT_EQ(FtdiJournalTotal(view), before);
  EXPECT_EQ(ftdi.Close(board), kFtOk);
}

// Sets a value of Wine's COM port mappings for the test's scope and puts
// back what was there, in the 64-bit view that Wine's mount manager reads.
class WinePortMapping {
 public:
  WinePortMapping(const std::string& port, const std::string* unixPath) : port_(port) {
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Ports", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key_.Out(), nullptr);
    char saved[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = REG_NONE;
    had_ = RegQueryValueExA(key_.Get(), port_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(saved), &size) ==
           ERROR_SUCCESS;
    saved_ = saved;
    Set(unixPath);
  }
  ~WinePortMapping() { Set(had_ ? &saved_ : nullptr); }
  WinePortMapping(const WinePortMapping&) = delete;
  WinePortMapping& operator=(const WinePortMapping&) = delete;
  bool IsValid() const { return key_.IsValid(); }

 private:
  void Set(const std::string* path) {
    if (path == nullptr) {
      RegDeleteValueA(key_.Get(), port_.c_str());
    } else {
      RegSetValueExA(key_.Get(), port_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                     static_cast<DWORD>(path->size() + 1));
    }
  }
  std::string port_;
  ScopedKey key_;
  bool had_ = false;
  std::string saved_;
};

int64_t UnixNowMs() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return static_cast<int64_t>(((uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) - 116444736000000000u) / 10000);
}

TEST(LedviewBoardTest, OnceShowsTheBoardsLastLineOrWhyThereIsNone) {
  // A board's pty path under this build's folder; its journal beside it.
  const std::string device = std::string(PIPSTACK_TEST_UNIX_DIR) + "/ledview-com42";
  const std::string journal = "Z:" + device + ".leds";
  const WinePortMapping com42("COM42", &device);
  const WinePortMapping com43("COM43", nullptr);
  ASSERT_TRUE(com42.IsValid());

  // Two changes and the start of a third the board is still writing.
  FILE* file = std::fopen(journal.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const int64_t changed = UnixNowMs() - 1500;
  std::fprintf(file, "%lld 01\n%lld 3c\n%lld f", static_cast<long long>(changed - 500), static_cast<long long>(changed),
               static_cast<long long>(changed + 10));
  std::fclose(file);
  LedviewRun run = RunLedview("--once COM42");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::vector<std::string> lines = Lines(run.output);
  ASSERT_GE(lines.size(), 8u) << run.output;
  EXPECT_EQ(lines[0], "Pipstack LED controller on COM42 (simulated board)");
  EXPECT_EQ(lines[3], "     ( )  ( )  (#)  (#)  (#)  (#)  ( )  ( )");
  EXPECT_EQ(LineStarting(lines, "LEDs "), "LEDs     0x3C  0011 1100");
  const std::string age = LineStarting(lines, "last change  ");
  const double seconds = std::strtod(age.c_str() + 13, nullptr);
  EXPECT_GE(seconds, 1.4) << age;
  EXPECT_LT(seconds, 30.0) << age;

  // No journal, and no mapping: the frame says which.
  ASSERT_TRUE(DeleteFileA(journal.c_str()));
  const struct {
    const char* arguments;
    std::string why;
  } rows[] = {
      {"--once COM42", "no " + device + ".leds"},
      {"--once com43", "COM43 is not in HKLM\\Software\\Wine\\Ports"},
  };
  for (const auto& row : rows) {
    run = RunLedview(row.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    lines = Lines(run.output);
    ASSERT_EQ(lines.size(), 4u) << run.output;
    EXPECT_EQ(lines[2].rfind("no board running on COM4", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], row.why);
  }
}

}  // namespace
