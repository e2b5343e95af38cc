// The browser's chosen paths placed into the caller's buffer.
#include "emulation/pdh/return_path.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

TEST(ReturnPath, OnePathFitsExactlyOrLeavesTheBufferAlone) {
  std::array<char, 8> buffer;
  buffer.fill('#');
  size_t used = 0;
  EXPECT_EQ(PlaceReturnPath(buffer.data(), 7, used, "\\A\\Bcde", false), PLACE_TOO_SMALL);
  EXPECT_EQ(buffer[0], '#');
  ASSERT_EQ(PlaceReturnPath(buffer.data(), 8, used, "\\A\\Bcde", false), PLACE_OK);
  EXPECT_STREQ(buffer.data(), "\\A\\Bcde");
  EXPECT_EQ(PlaceReturnPath(nullptr, 8, used, "x", false), PLACE_TOO_SMALL);
}

TEST(ReturnPath, AListGrowsEntryByEntryWithItsClosingZero) {
  std::array<char, 10> buffer;
  buffer.fill('#');
  size_t used = 0;
  ASSERT_EQ(PlaceReturnPath(buffer.data(), buffer.size(), used, "\\a\\b", true), PLACE_OK);
  EXPECT_EQ(used, 5u);
  EXPECT_EQ(std::memcmp(buffer.data(), "\\a\\b\0\0", 6), 0);
  // "\c\d" needs 5 more and the closing zero: 11 > 10.
  EXPECT_EQ(PlaceReturnPath(buffer.data(), buffer.size(), used, "\\c\\d", true), PLACE_TOO_SMALL);
  EXPECT_EQ(used, 5u);
  ASSERT_EQ(PlaceReturnPath(buffer.data(), buffer.size(), used, "\\c\\", true), PLACE_OK);
  EXPECT_EQ(std::memcmp(buffer.data(), "\\a\\b\0\\c\\\0\0", 10), 0);
}

}  // namespace
