// The two pty devices as the program's tests use them: serial_peer's answers,
// and how both devices end (their unplug).
#include <signal.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/firmware/serial_device.h"

namespace {

constexpr int kTimeoutMs = 2000;

TEST(SerialPeerTest, AnswersEveryLineOrStaysSilent) {
  const struct {
    const char* what;
    std::vector<std::string> answer;  // serial_peer's optional argument
    std::string sent;
    std::string reply;
  } rows[] = {
      {"silent", {}, "AT\r\nATI\n?\n", ""},
      {"answering", {"OK"}, "AT\r\nATI\npartial", "OK\nOK\n"},
      {"answering a binary stream", {"$GPGGA,1"}, std::string("\0\xff\n\n", 4), "$GPGGA,1\n$GPGGA,1\n"},
  };
  for (const auto& row : rows) {
    SerialDevice peer;
    std::vector<std::string> args = {peer.Path()};
    args.insert(args.end(), row.answer.begin(), row.answer.end());
    ASSERT_TRUE(peer.Start(PIPSTACK_SERIAL_PEER, args)) << row.what << ": " << peer.Log();
    ASSERT_TRUE(peer.Open()) << row.what;
    ASSERT_TRUE(peer.Send(row.sent)) << row.what;
    EXPECT_TRUE(WaitUntil(kTimeoutMs, [&] { return ReadWholeFile(peer.File(".received")) == row.sent; }))
        << row.what << ": received \"" << ReadWholeFile(peer.File(".received")) << '"';
    EXPECT_EQ(peer.ReadFor(200), row.reply) << row.what;
  }
}

TEST(SerialDeviceEndTest, EndsOnItsStopFileOrASignalAndTidiesUp) {
  const struct {
    const char* what;
    bool board;  // simboard, else serial_peer
    int signal;  // 0: the stop file
  } rows[] = {
      {"simboard, stop file", true, 0},         {"simboard, SIGTERM", true, SIGTERM},
      {"simboard, SIGINT", true, SIGINT},       {"serial_peer, stop file", false, 0},
      {"serial_peer, SIGTERM", false, SIGTERM},
  };
  for (const auto& row : rows) {
    SerialDevice device;
    const bool started = row.board ? device.Start(PIPSTACK_SIMBOARD, {PIPSTACK_FIRMWARE_ELF, device.Path()})
                                   : device.Start(PIPSTACK_SERIAL_PEER, {device.Path()});
    ASSERT_TRUE(started) << row.what << ": " << device.Log();
    ASSERT_TRUE(device.Open()) << row.what;
    if (row.signal == 0) {
      FILE* stop = fopen(device.File(".stop").c_str(), "w");
      ASSERT_NE(stop, nullptr);
      fclose(stop);
    } else {
      kill(device.Pid(), row.signal);
    }
    EXPECT_EQ(device.WaitForExit(kTimeoutMs), 0) << row.what;
    EXPECT_TRUE(device.HungUp(kTimeoutMs)) << row.what << ": the unplug reaches the open port";
    EXPECT_FALSE(FileExists(device.Path())) << row.what;
    EXPECT_FALSE(FileExists(device.File(".pid"))) << row.what;
    EXPECT_FALSE(FileExists(device.File(".stop"))) << row.what;
    EXPECT_TRUE(FileExists(device.File(row.board ? ".leds" : ".received"))) << row.what << ": its record stays";
  }
}

}  // namespace
