// The LED controller's firmware on the simulated board, driven through its pty
// as the program drives a COM port, and the board's own behaviour as a device
// (start, stop, re-plug, command line).
#include <signal.h>
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "firmware/PipstackLeds/led_protocol.h"
#include "tests/firmware/serial_device.h"

namespace {

constexpr int kAnswerMs = 2000;  // far beyond the few milliseconds an answer takes
// After the board has answered a "?", how long a journal line that is still
// due may take: the LEDs settle 1 ms after their last change.
constexpr int kJournalCatchUpMs = 30;

// The LED bytes of the journal's lines, checking the form of every line.
std::vector<std::string> JournalBytes(const SerialDevice& board) {
  static const std::regex line("([0-9]+) ([0-9A-F]{2})");
  const time_t now = time(nullptr);
  std::vector<std::string> bytes;
  std::istringstream journal(ReadWholeFile(board.File(".leds")));
  for (std::string text; std::getline(journal, text);) {
    std::smatch parts;
    EXPECT_TRUE(std::regex_match(text, parts, line)) << '"' << text << '"';
    if (parts.empty()) continue;
    const long long ms = std::stoll(parts[1]);
    EXPECT_NEAR(static_cast<double>(ms / 1000), static_cast<double>(now), 60) << "not now: " << text;
    bytes.push_back(parts[2]);
  }
  return bytes;
}

std::string LastJournalByte(const SerialDevice& board) {
  const std::vector<std::string> bytes = JournalBytes(board);
  return bytes.empty() ? "" : bytes.back();
}

class BoardTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(board_.Start(PIPSTACK_SIMBOARD, {PIPSTACK_FIRMWARE_ELF, board_.Path()})) << board_.Log();
    ASSERT_TRUE(board_.Open());
  }

  void ExpectIdentity(const char* when) {
    bool complete = false;
    EXPECT_EQ(board_.ReadLine(kAnswerMs, &complete), kLedIdentityLine) << when;
    EXPECT_TRUE(complete) << when;
  }

  // A "?" behind whatever was sent: once its answer is back, the board has
  // dealt with everything before it.
  void AwaitBoard(const char* when) {
    ASSERT_TRUE(board_.Send("?\n"));
    ExpectIdentity(when);
  }

  SerialDevice board_;
};

TEST_F(BoardTest, IdentifiesItselfAtStartAndOnEveryQuestion) {
  ExpectIdentity("at start");
  ASSERT_TRUE(board_.Send("?\n"));
  ExpectIdentity("after ?");
  ASSERT_TRUE(board_.Send("?\r\n?\n"));
  ExpectIdentity("after the first of two");
  ExpectIdentity("after the second of two");
  EXPECT_EQ(board_.ReadFor(100), "") << "nothing but the identity is ever sent";
  EXPECT_EQ(JournalBytes(board_), std::vector<std::string>{"00"}) << "dark at power-up";
}

TEST_F(BoardTest, ShowsEachCommandedByteOnItsPins) {
  ExpectIdentity("at start");
  const struct {
    const char* what;
    std::vector<std::string> writes;
    const char* shown;
  } rows[] = {
      {"upper case, on port D alone", {"L1F\n"}, "1F"}, {"lower case, from port D to port B", {"l80\n"}, "80"},
      {"mixed case with CR LF", {"LfF\r\n"}, "FF"},     {"split across writes", {"L", "0", "1", "\n"}, "01"},
      {"two in one write", {"L02\nL5A\n"}, "5A"},       {"all dark", {"L00\n"}, "00"},
  };
  for (const auto& row : rows) {
    for (const std::string& piece : row.writes) {
      ASSERT_TRUE(board_.Send(piece));
      SleepMs(20);
    }
    AwaitBoard(row.what);
    EXPECT_TRUE(WaitUntil(kAnswerMs, [&] { return LastJournalByte(board_) == row.shown; }))
        << row.what << ": the journal ends with " << LastJournalByte(board_);
  }
  // One line per settled byte: neither the pins' way from one byte to the
  // next nor the 02 shown for a fraction of a millisecond.
  const std::vector<std::string> expected = {"00", "1F", "80", "FF", "01", "5A", "00"};
  EXPECT_EQ(JournalBytes(board_), expected);
}

TEST_F(BoardTest, IgnoresEveryOtherLineAndKeepsItsByte) {
  ExpectIdentity("at start");
  ASSERT_TRUE(board_.Send("L5A\n"));
  AwaitBoard("L5A");
  ASSERT_TRUE(WaitUntil(kAnswerMs, [&] { return LastJournalByte(board_) == "5A"; }));

  const std::string ignored[] = {
      "L1F" + std::string(30, ' ') + "\n",  // 33 characters
      std::string(200, 'L') + "\n",        "L1FF\n",  "L1\n", "LXY\n", "L 1F\n", "L1\rF\n",
      std::string("L1F\0\n", 5),           "hello\n", "\n",   "\r\n",  "? \n",
  };
  for (const std::string& line : ignored) {
    ASSERT_TRUE(board_.Send(line));
    AwaitBoard(line.c_str());
  }
  EXPECT_EQ(board_.ReadFor(kJournalCatchUpMs), "") << "only the identity answers";
  EXPECT_EQ(JournalBytes(board_), (std::vector<std::string>{"00", "5A"}));
}

TEST(BoardProgramTest, StartsAgainOnTheSamePathAfterAHardEnd) {
  SerialDevice board;
  ASSERT_TRUE(board.Start(PIPSTACK_SIMBOARD, {PIPSTACK_FIRMWARE_ELF, board.Path()})) << board.Log();
  ASSERT_TRUE(board.Open());
  ASSERT_TRUE(board.Send("L33\n"));
  ASSERT_TRUE(WaitUntil(kAnswerMs, [&] { return LastJournalByte(board) == "33"; }));
  kill(board.Pid(), SIGKILL);  // unplugged without a word: its link stays behind
  ASSERT_NE(board.WaitForExit(kAnswerMs), -1);
  ASSERT_TRUE(FileExists(board.Path()));

  ASSERT_TRUE(board.Start(PIPSTACK_SIMBOARD, {PIPSTACK_FIRMWARE_ELF, board.Path()})) << board.Log();
  ASSERT_TRUE(board.Open());
  bool complete = false;
  EXPECT_EQ(board.ReadLine(kAnswerMs, &complete), kLedIdentityLine);
  EXPECT_EQ(JournalBytes(board), std::vector<std::string>{"00"}) << "a new journal, dark again";
}

TEST(BoardProgramTest, RefusesWhatItCannotRun) {
  SerialDevice board;
  const std::string notFirmware = board.File(".txt");
  FILE* text = fopen(notFirmware.c_str(), "w");
  ASSERT_NE(text, nullptr);
  fputs("not an ELF file\n", text);
  fclose(text);
  const struct {
    const char* what;
    std::vector<std::string> args;
    int code;
    const char* says;
  } rows[] = {
      {"no arguments", {}, 2, "usage: simboard"},
      {"no path", {PIPSTACK_FIRMWARE_ELF}, 2, "usage: simboard"},
      {"one too many", {PIPSTACK_FIRMWARE_ELF, board.Path(), "x"}, 2, "usage: simboard"},
      {"no such firmware", {board.File(".missing.elf"), board.Path()}, 1, "cannot load the firmware"},
      {"not firmware", {notFirmware, board.Path()}, 1, "cannot load the firmware"},
  };
  for (const auto& row : rows) {
    EXPECT_FALSE(board.Start(PIPSTACK_SIMBOARD, row.args)) << row.what;
    EXPECT_EQ(board.WaitForExit(kAnswerMs), row.code) << row.what;
    EXPECT_NE(board.Log().find(row.says), std::string::npos) << row.what << ": " << board.Log();
    EXPECT_FALSE(FileExists(board.Path())) << row.what;
  }
}

}  // namespace
