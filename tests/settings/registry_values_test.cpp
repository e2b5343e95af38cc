// The registry value primitives against Wine's real registry, with
// HKEY_LOCAL_MACHINE redirected to a scratch key for each test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/registry_values.h"
#include "tests/settings/scratch_registry.h"

namespace {

constexpr char kName[] = "Value";
constexpr char kLongPath[] = "\\Processor(_Total)\\% Processor Time";

struct Stored {
  DWORD type;
  std::vector<BYTE> data;
};

Stored Bytes(DWORD type, const std::string& bytes) { return {type, std::vector<BYTE>(bytes.begin(), bytes.end())}; }

Stored Dword(DWORD type, DWORD number) {
  std::string bytes(sizeof number, '\0');
  std::memcpy(&bytes[0], &number, sizeof number);
  return Bytes(type, bytes);
}

class RegistryValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(registry.Ready());
    handlesBefore = OpenHandleCount();
    ASSERT_GT(handlesBefore, 0);
  }
  // Every primitive closes the key on every path it takes.
  void TearDown() override { EXPECT_EQ(OpenHandleCount(), handlesBefore) << "a key handle was left open"; }

  void Plant(const Stored& s) {
    registry.Plant(kName, s.type, s.data.empty() ? nullptr : s.data.data(), static_cast<DWORD>(s.data.size()));
  }

  ScratchRegistry registry;
  int32_t handlesBefore = 0;
};

TEST_F(RegistryValuesTest, FirstReadsCreateTheKeyAndTheDefaults) {
  ASSERT_FALSE(registry.SettingsKeyExists());
  int32_t number = 7;
  EXPECT_EQ(ReadDwordValue("Number", &number, -1), 0);
  EXPECT_EQ(number, -1);
  ASSERT_TRUE(registry.SettingsKeyExists());
  const RawValue dword = registry.Read("Number");
  EXPECT_EQ(dword.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(dword.data.size(), 4u);
  EXPECT_EQ(AsDword(dword), 0xFFFFFFFFu);

  std::unique_ptr<char[]> text;
  EXPECT_EQ(ReadStringValue("Text", &text, kLongPath), 0);
  ASSERT_TRUE(text);
  EXPECT_STREQ(text.get(), kLongPath);
  const RawValue sz = registry.Read("Text");
  EXPECT_EQ(sz.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(AsText(sz), std::string(kLongPath, sizeof kLongPath));  // with its terminating zero
}

TEST_F(RegistryValuesTest, DwordReadsTakeUpToFourBytesAndTreatTextAndLongerNumbersAsMissing) {
  struct Row {
    const char* what;
    Stored stored;
    int32_t status;
    int32_t number;   // expected result; 99 = left as it was
    DWORD typeAfter;  // of the value after the read
  };
  const Row rows[] = {
      {"negative", Dword(REG_DWORD, static_cast<DWORD>(-123)), 0, -123, REG_DWORD},
      {"all ones", Dword(REG_DWORD, 0xFFFFFFFFu), 0, -1, REG_DWORD},
      {"binary of 2 bytes, zero-filled", Bytes(REG_BINARY, std::string("\x34\x12", 2)), 0, 0x1234, REG_BINARY},
      {"dword type with 2 bytes", Bytes(REG_DWORD, std::string("\x05\x00", 2)), 0, 5, REG_DWORD},
      {"big-endian dword, as the number it says", Bytes(REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x32", 4)), 0, 50,
       REG_DWORD_BIG_ENDIAN},
      {"none of 3 bytes", Bytes(REG_NONE, std::string("\x01\x02\x03", 3)), 0, 0x030201, REG_NONE},
      // More than a DWORD holds is missing too: the default, stored as a DWORD.
      {"quad word", Bytes(REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8)), 0, 55, REG_DWORD},
      {"quad word of 4 bytes", Bytes(REG_QWORD, std::string("\x01\0\0\0", 4)), 0, 55, REG_DWORD},
      {"dword type with 8 bytes", Bytes(REG_DWORD, std::string("\x01\0\0\0\0\0\0\0", 8)), 0, 55, REG_DWORD},
      {"binary of 5 bytes", Bytes(REG_BINARY, std::string("\x01\0\0\0\0", 5)), 0, 55, REG_DWORD},
      {"big-endian of 2 bytes", Bytes(REG_DWORD_BIG_ENDIAN, std::string("\0\x32", 2)), 0, 55, REG_DWORD},
      {"no data: the default", Bytes(REG_DWORD, ""), 0, 55, REG_DWORD},
      {"string without data: the default", Bytes(REG_SZ, ""), 0, 55, REG_DWORD},
      // A number stored as text is missing: the default, stored as a DWORD.
      {"string of 4 bytes", Bytes(REG_SZ, std::string("CPU", 4)), 0, 55, REG_DWORD},
      {"string of a number", Bytes(REG_SZ, std::string("50", 3)), 0, 55, REG_DWORD},
      {"long string", Bytes(REG_SZ, std::string(kLongPath, sizeof kLongPath)), 0, 55, REG_DWORD},
      {"expandable string", Bytes(REG_EXPAND_SZ, std::string("abc", 4)), 0, 55, REG_DWORD},
      {"long expandable string", Bytes(REG_EXPAND_SZ, std::string("%SystemRoot%\\x", 15)), 0, 55, REG_DWORD},
      {"multi-string", Bytes(REG_MULTI_SZ, std::string("1\0\0", 3)), 0, 55, REG_DWORD},
      {"long multi-string", Bytes(REG_MULTI_SZ, std::string("one\0two\0\0", 9)), 0, 55, REG_DWORD},
  };
  for (const Row& r : rows) {
    Plant(r.stored);
    int32_t number = 99;
    EXPECT_EQ(ReadDwordValue(kName, &number, 55), r.status) << r.what;
    EXPECT_EQ(number, r.number) << r.what;
    EXPECT_EQ(registry.Read(kName).type, r.typeAfter) << r.what;
  }
  // The last replacement, type and all, is the default.
  EXPECT_EQ(AsDword(registry.Read(kName)), 55u);
}

TEST_F(RegistryValuesTest, StringReadsAreTerminatedWithinTheStoredBytes) {
  struct Row {
    const char* what;
    Stored stored;
    const char* text;
  };
  const Row rows[] = {
      {"terminated", Bytes(REG_SZ, std::string("MEM", 4)), "MEM"},
      {"binary without a zero", Bytes(REG_BINARY, "abc"), "ab"},
      {"one byte without a zero", Bytes(REG_BINARY, "z"), ""},
      {"dword", Dword(REG_DWORD, 0x00434241u), "ABC"},
      {"dword without a zero byte", Dword(REG_DWORD, 0x44434241u), "ABC"},
      {"no data: the default", Bytes(REG_SZ, ""), "CPU"},
      {"binary without data: the default", Bytes(REG_BINARY, ""), "CPU"},
  };
  for (const Row& r : rows) {
    Plant(r.stored);
    std::unique_ptr<char[]> text;
    EXPECT_EQ(ReadStringValue(kName, &text, "CPU"), 0) << r.what;
    ASSERT_TRUE(text) << r.what;
    EXPECT_STREQ(text.get(), r.text) << r.what;
  }
}

TEST_F(RegistryValuesTest, UnterminatedStringTypeIsHandedBackTerminated) {
  registry.Plant(kName, REG_SZ, "abcd", 4);
  std::unique_ptr<char[]> text;
  ASSERT_EQ(ReadStringValue(kName, &text, "CPU"), 0);
  const std::string got(text.get());
  // However the platform sizes it, nothing past the stored characters.
  EXPECT_TRUE(got == "abc" || got == "abcd") << got;
}

TEST_F(RegistryValuesTest, SixtyFourKibibyteStringsComeBackWhole) {
  std::string big(64 * 1024 - 1, 'p');
  big[1000] = 'q';
  EXPECT_EQ(WriteStringValue(kName, big.c_str()), 0);
  std::unique_ptr<char[]> text;
  ASSERT_EQ(ReadStringValue(kName, &text, "CPU"), 0);
  EXPECT_EQ(std::string(text.get()), big);

  // The same without a terminating zero loses only its last byte.
  registry.Plant(kName, REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
  ASSERT_EQ(ReadStringValue(kName, &text, "CPU"), 0);
  EXPECT_EQ(std::string(text.get()), big.substr(0, big.size() - 1));
}

TEST_F(RegistryValuesTest, WritesStoreTheRawForms) {
  EXPECT_EQ(WriteDwordValue(kName, -2), 0);
  RawValue v = registry.Read(kName);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(v.data, (std::vector<BYTE>{0xFE, 0xFF, 0xFF, 0xFF}));

  EXPECT_EQ(WriteStringValue(kName, "MEM"), 0);
  v = registry.Read(kName);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(AsText(v), std::string("MEM", 4));

  EXPECT_EQ(WriteStringValue(kName, ""), 0);
  EXPECT_EQ(registry.Read(kName).data.size(), 1u);
}

TEST_F(RegistryValuesTest, MissingArgumentsAreRefusedBeforeTheRegistryIsTouched) {
  int32_t number = 0;
  std::unique_ptr<char[]> text;
  EXPECT_EQ(ReadDwordValue(nullptr, &number, 1), 1);
  EXPECT_EQ(ReadDwordValue(kName, nullptr, 1), 1);
  EXPECT_EQ(WriteDwordValue(nullptr, 1), 1);
  EXPECT_EQ(ReadStringValue(nullptr, &text, "x"), 1);
  EXPECT_EQ(ReadStringValue(kName, nullptr, "x"), 1);
  EXPECT_EQ(WriteStringValue(nullptr, "x"), 1);
  EXPECT_EQ(WriteStringValue(kName, nullptr), 1);
  EXPECT_FALSE(registry.SettingsKeyExists());

  // A missing value with no default text cannot be created.
  EXPECT_EQ(ReadStringValue(kName, &text, nullptr), 3);
  EXPECT_FALSE(text);
  EXPECT_FALSE(registry.Read(kName).exists);
}

TEST_F(RegistryValuesTest, AKeyThatCannotBeWrittenFailsEveryAccessAndChangesNothing) {
  registry.PlantDword("Number", 5);
  registry.PlantString("Text", "CPU");
  registry.DenyWrites();

  int32_t number = 99;
  std::unique_ptr<char[]> text;
  EXPECT_EQ(ReadDwordValue("Number", &number, 1), 2);
  EXPECT_EQ(ReadDwordValue("Missing", &number, 1), 2);
  EXPECT_EQ(number, 99);
  EXPECT_EQ(ReadStringValue("Text", &text, "x"), 2);
  EXPECT_FALSE(text);
  EXPECT_EQ(WriteDwordValue("Number", 6), 2);
  EXPECT_EQ(WriteStringValue("Text", "MEM"), 2);

  EXPECT_EQ(AsDword(registry.Read("Number")), 5u);
  EXPECT_EQ(AsText(registry.Read("Text")), std::string("CPU", 4));
  EXPECT_FALSE(registry.Read("Missing").exists);
}

}  // namespace
