// atoi rules, with clamping where atoi would overflow.
#include <gtest/gtest.h>

#include <climits>

#include "core/text_number.h"

namespace {

TEST(ParseDecimalTest, FollowsAtoiRulesAndClamps) {
  const struct {
    const char* text;
    int32_t value;
  } rows[] = {
      {"", 0},
      {"abc", 0},
      {"42", 42},
      {"  \t\n\v\f\r 17", 17},
      {"+8", 8},
      {"-5", -5},
      {"- 5", 0},
      {"+-5", 0},
      {"12abc", 12},
      {"3:", 3},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"99999999999999999999999999999999", INT32_MAX},
      {"-99999999999999999999999999999999", INT32_MIN},
  };
  for (const auto& row : rows) EXPECT_EQ(ParseDecimal(row.text), row.value) << '"' << row.text << '"';
  EXPECT_EQ(ParseDecimal(nullptr), 0);
}

}  // namespace
