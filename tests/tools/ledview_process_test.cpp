// ledview.exe run as a process against the virtual port this test sets up
// and writes through the virtual port's WinIO library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "emulation/winio/virtual_port_view_win.h"
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

}  // namespace
