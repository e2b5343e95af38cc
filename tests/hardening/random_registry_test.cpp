// The registry value reads on stored data of any type, any length, with and
// without a terminating zero, drawn from a fixed random start value: each
// read must give what the platform's own read of the same bytes gives, cut
// as the program cuts it, and close every key it opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "settings/registry_values.h"
#include "tests/settings/scratch_registry.h"

namespace {

constexpr uint32_t kRandomStart = 0x52454753;
constexpr int kValues = 400;
constexpr char kDefaultText[] = "default text";
constexpr int32_t kDefaultNumber = -12345;
constexpr DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, REG_QWORD, REG_NONE};

struct Drawn {
  DWORD type;
  std::vector<BYTE> bytes;
};

// Short lengths (around a DWORD) are drawn as often as long ones; zero bytes
// turn up inside and at the end, or not at all.
Drawn Draw(std::mt19937& generator) {
  Drawn d{kTypes[generator() % std::size(kTypes)], {}};
  const size_t length = generator() % 2 ? generator() % 9 : generator() % 600;
  const bool zeros = generator() % 3 == 0;
  for (size_t i = 0; i < length; ++i) {
    BYTE b = static_cast<BYTE>(generator());
    if (!zeros && b == 0) b = 'z';
    d.bytes.push_back(b);
  }
  if (!d.bytes.empty() && generator() % 2) d.bytes.back() = 0;
  return d;
}

// The text the program must hand back for data the platform reads as raw:
// up to the first zero, and never the last stored byte, which it turns into one.
std::string ExpectedText(const RawValue& raw) {
  if (raw.data.empty()) return kDefaultText;
  const char* first = reinterpret_cast<const char*>(raw.data.data());
  const size_t limit = raw.data.size() - 1;
  size_t n = 0;
  while (n < limit && first[n] != '\0') ++n;
  return std::string(first, n);
}

TEST(RandomRegistryTest, ReadsOfAnyStoredDataMatchThePlatform) {
  ScratchRegistry registry;
  ASSERT_TRUE(registry.Ready());
  std::mt19937 generator(kRandomStart);
  // The key exists from here on, and the platform has made what it keeps
  // open for good after a first read and write.
  registry.PlantDword("warm", 0);
  int32_t warm = 0;
  ASSERT_EQ(ReadDwordValue("warm", &warm, 0), kRegistryOk);
  ASSERT_EQ(WriteStringValue("warm text", kDefaultText), kRegistryOk);
  const int32_t handlesBefore = OpenHandleCount();
  for (int i = 0; i < kValues; ++i) {
    const Drawn d = Draw(generator);
    const std::string name = "value " + std::to_string(i);
    registry.Plant(name.c_str(), d.type, d.bytes.data(), static_cast<DWORD>(d.bytes.size()));
    const RawValue raw = registry.Read(name.c_str());
    ASSERT_TRUE(raw.exists) << name;
    // Named in each expectation, not with SCOPED_TRACE, whose first use makes
    // a handle of the test framework's own.
    const std::string where = name + " type " + std::to_string(d.type) + " size " + std::to_string(raw.data.size());

    // A number: text, a quad word, more than four bytes or empty data is
    // replaced by the default; up to four bytes are zero-filled.
    int32_t number = 0;
    const int32_t numberStatus = ReadDwordValue(name.c_str(), &number, kDefaultNumber);
    const bool storedAsText = d.type == REG_SZ || d.type == REG_EXPAND_SZ || d.type == REG_MULTI_SZ;
    const bool missing = storedAsText || d.type == REG_QWORD || raw.data.empty() || raw.data.size() > sizeof number;
    ASSERT_EQ(numberStatus, kRegistryOk) << where;
    int32_t expected = kDefaultNumber;
    if (!missing) {
      expected = 0;
      std::memcpy(&expected, raw.data.data(), raw.data.size());
    }
    EXPECT_EQ(number, expected) << where;

    // A text, read from a fresh plant (the number's read may have written
    // its default in place of empty data).
    registry.Plant(name.c_str(), d.type, d.bytes.data(), static_cast<DWORD>(d.bytes.size()));
    std::unique_ptr<char[]> text;
    ASSERT_EQ(ReadStringValue(name.c_str(), &text, kDefaultText), kRegistryOk) << where;
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text.get()), ExpectedText(raw)) << where;
  }
  EXPECT_EQ(OpenHandleCount(), handlesBefore) << "a key handle was left open";
}

}  // namespace
