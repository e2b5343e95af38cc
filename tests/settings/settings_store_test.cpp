// Loading and saving the settings against Wine's real registry, in the family
// of sources this executable is linked with.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/meter_settings.h"
#include "settings/settings_store.h"
#include "tests/settings/scratch_registry.h"
#include "tests/settings/source_family.h"

namespace {

constexpr int32_t kDefaultFloors[] = {0, 10, 20, 30, 40, 55, 70, 85};

std::string Led(int32_t index, const char* what) { return "LED " + std::to_string(index + 1) + " " + what; }

std::vector<std::string> AllValueNames() {
  std::vector<std::string> names;
  for (int32_t i = 0; i < kLedCount; ++i) {
    names.push_back(Led(i, "Source"));
    names.push_back(Led(i, "Floor"));
    names.push_back(Led(i, "Ceiling"));
  }
  names.push_back("Write Delay");
  names.push_back("Interpolation");
  std::sort(names.begin(), names.end());
  return names;
}

std::string WithZero(const std::string& text) { return text + '\0'; }

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(registry.Ready());
    ASSERT_TRUE(StartSourceFamily());
    ResetMeterSettings();
  }
  void TearDown() override { StopSourceFamily(); }

  // Runs a load or a save and checks it left no handle open.
  template <typename Operation>
  int32_t Counted(Operation operation) {
    const int32_t before = OpenHandleCount();
    const int32_t status = operation();
    EXPECT_EQ(OpenHandleCount(), before) << "a key handle was left open";
    return status;
  }
  int32_t Load() { return Counted(LoadSettings); }
  int32_t Save() { return Counted(SaveSettings); }

  static MeterOptions Options() {
    MeterOptions o{};
    GetMeterOptions(&o.interpolationLed, &o.writeDelay);
    return o;
  }

  ScratchRegistry registry;
};

TEST_F(SettingsStoreTest, FirstRunCreatesEveryValueWithItsDefault) {
  ASSERT_FALSE(registry.SettingsKeyExists());
  ASSERT_EQ(Load(), 0);

  std::vector<std::string> names = registry.ValueNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, AllValueNames());
  for (int32_t i = 0; i < kLedCount; ++i) {
    const RawValue source = registry.Read(Led(i, "Source").c_str());
    EXPECT_EQ(source.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(AsText(source), WithZero(DefaultSourceText()));
    EXPECT_EQ(CurrentSourceText(i), DefaultSourceText());
    const RawValue floor = registry.Read(Led(i, "Floor").c_str());
    const RawValue ceiling = registry.Read(Led(i, "Ceiling").c_str());
    EXPECT_EQ(floor.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(floor.data.size(), 4u);
    EXPECT_EQ(static_cast<int32_t>(AsDword(floor)), kDefaultFloors[i]);
    EXPECT_EQ(ceiling.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(AsDword(ceiling), 100u);
    int32_t f = -1, c = -1;
    ASSERT_EQ(GetLedRange(i, &f, &c), 0);
    EXPECT_EQ(f, kDefaultFloors[i]);
    EXPECT_EQ(c, 100);
  }
  EXPECT_EQ(registry.Read("Write Delay").type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(AsDword(registry.Read("Write Delay")), 40u);
  EXPECT_EQ(registry.Read("Interpolation").type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(AsDword(registry.Read("Interpolation")), 0xFFFFFFFFu);
  EXPECT_EQ(Options().interpolationLed, kInterpolationOff);
  EXPECT_EQ(Options().writeDelay, 40);
}

TEST_F(SettingsStoreTest, EverythingSavedComesBackOnTheNextLoad) {
  std::vector<std::string> sources;
  for (int32_t i = 0; i < kLedCount; ++i) {
    sources.push_back(ChangeSource(i));
    ASSERT_EQ(SetLedRange(i, -1000 * i - 7, 3 * i + 1), 0);
  }
  ASSERT_EQ(SetMeterOptions(5, 17), 0);
  ASSERT_EQ(Save(), 0);

  ResetMeterSettings();
  ResetSourceFamily();
  ASSERT_EQ(Load(), 0);
  for (int32_t i = 0; i < kLedCount; ++i) {
    EXPECT_EQ(CurrentSourceText(i), sources[i]) << "LED " << i + 1;
    int32_t f = 0, c = 0;
    ASSERT_EQ(GetLedRange(i, &f, &c), 0);
    EXPECT_EQ(f, -1000 * i - 7);
    EXPECT_EQ(c, 3 * i + 1);
  }
  EXPECT_EQ(Options().interpolationLed, 5);
  EXPECT_EQ(Options().writeDelay, 17);
}

TEST_F(SettingsStoreTest, RefusedStoredOptionsAreReplacedAtTheNextSave) {
  struct Row {
    int32_t delay, interpolation;
    DWORD savedDelay, savedInterpolation;
  };
  const Row rows[] = {
      {0, -1, 40, 0xFFFFFFFFu},  // interpolation off, the initial delay kept
      {40, 9, 40, 0},            // both initial options kept: LED 1, 40 ms
  };
  for (const Row& r : rows) {
    ResetMeterSettings();
    registry.PlantDword("Write Delay", r.delay);
    registry.PlantDword("Interpolation", r.interpolation);
    ASSERT_EQ(Load(), 0);
    ASSERT_EQ(Save(), 0);
    EXPECT_EQ(AsDword(registry.Read("Write Delay")), r.savedDelay) << r.delay << ", " << r.interpolation;
    EXPECT_EQ(AsDword(registry.Read("Interpolation")), r.savedInterpolation) << r.delay << ", " << r.interpolation;
  }
}

TEST_F(SettingsStoreTest, ValuesWithoutDataAreReplacedByTheirDefaults) {
  registry.Plant("LED 1 Source", REG_SZ, nullptr, 0);
  registry.Plant("LED 4 Floor", REG_DWORD, nullptr, 0);
  registry.PlantDword("LED 4 Ceiling", 77);
  ASSERT_EQ(Load(), 0);
  EXPECT_EQ(AsText(registry.Read("LED 1 Source")), WithZero(DefaultSourceText()));
  EXPECT_EQ(CurrentSourceText(0), DefaultSourceText());
  EXPECT_EQ(AsDword(registry.Read("LED 4 Floor")), 30u);
  int32_t f = 0, c = 0;
  GetLedRange(3, &f, &c);
  EXPECT_EQ(f, 30);
  EXPECT_EQ(c, 77);
}

TEST_F(SettingsStoreTest, BadStoredDataIsReadSafelyOrTakenAsMissing) {
  struct Row {
    const char* name;
    DWORD type;
    std::string bytes;
  };
  const std::string eight("\x01\0\0\0\0\0\0\0", 8);
  const std::string path = "\\Processor(_Total)\\% Processor Time";
  const Row rows[] = {
      // A number in more than 4 bytes is missing: its default is used.
      {"LED 3 Floor", REG_BINARY, eight},
      {"LED 5 Ceiling", REG_QWORD, eight},
      {"Write Delay", REG_BINARY, eight},
      {"Interpolation", REG_BINARY, eight},
      {"LED 2 Floor", REG_SZ, path + '\0'},  // a number as text is missing
      {"LED 2 Floor", REG_SZ, std::string("7\0", 2)},
      {"LED 4 Source", REG_DWORD, std::string("\x41\x42\x43\x44", 4)},
      {"LED 6 Source", REG_BINARY, "CPUCPU"},
      {"LED 1 Source", REG_SZ, std::string(64 * 1024 - 1, 'C') + '\0'},
  };
  for (const Row& r : rows) {
    ScratchRegistry fresh;  // each row on an empty key of its own
    ResetMeterSettings();
    ResetSourceFamily();
    fresh.Plant(r.name, r.type, r.bytes.data(), static_cast<DWORD>(r.bytes.size()));
    EXPECT_EQ(Load(), 0) << r.name;
    EXPECT_EQ(fresh.ValueNames().size(), 26u) << r.name;
  }
}

TEST_F(SettingsStoreTest, NumbersStoredAsTextLoadTheirDefaultsAndSaveAsDwords) {
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
    int32_t loaded;  // the default
  } rows[] = {
      {"LED 6 Floor", REG_SZ, std::string("abc", 4), 55},
      {"LED 3 Ceiling", REG_SZ, std::string("50", 3), 100},
      {"LED 8 Ceiling", REG_SZ, WithZero("\\Processor(_Total)\\% Processor Time"), 100},
      {"Write Delay", REG_EXPAND_SZ, std::string("abc", 4), 40},
      {"Interpolation", REG_MULTI_SZ, std::string("3\0", 3), -1},
  };
  for (const auto& row : rows)
    registry.Plant(row.name, row.type, row.bytes.data(), static_cast<DWORD>(row.bytes.size()));
  ASSERT_EQ(Load(), 0);
  int32_t floor = 0, ceiling = 0;
  GetLedRange(5, &floor, &ceiling);
  EXPECT_EQ(floor, 55);
  GetLedRange(2, &floor, &ceiling);
  EXPECT_EQ(ceiling, 100);
  GetLedRange(7, &floor, &ceiling);
  EXPECT_EQ(ceiling, 100);
  EXPECT_EQ(Options().writeDelay, 40);
  EXPECT_EQ(Options().interpolationLed, kInterpolationOff);

  ASSERT_EQ(SetLedRange(2, 30, 77), 0);
  ASSERT_EQ(Save(), 0);
  for (const auto& row : rows) {
    const RawValue saved = registry.Read(row.name);
    EXPECT_EQ(saved.type, static_cast<DWORD>(REG_DWORD)) << row.name;
    const int32_t expected = std::string(row.name) == "LED 3 Ceiling" ? 77 : row.loaded;
    EXPECT_EQ(static_cast<int32_t>(AsDword(saved)), expected) << row.name;
  }
}

TEST_F(SettingsStoreTest, ShortDwordDataIsZeroFilled) {
  registry.Plant("LED 2 Floor", REG_BINARY, "\x05\x00", 2);
  registry.Plant("LED 2 Ceiling", REG_BINARY, "\xFF", 1);
  ASSERT_EQ(Load(), 0);
  int32_t f = 0, c = 0;
  GetLedRange(1, &f, &c);
  EXPECT_EQ(f, 5);
  EXPECT_EQ(c, 255);
}

TEST_F(SettingsStoreTest, AKeyThatCannotBeWrittenFailsLoadAndSaveAndKeepsItsValues) {
  for (bool populated : {false, true}) {
    ScratchRegistry fresh;
    if (populated) {
      ASSERT_EQ(Load(), 0);
      ASSERT_EQ(SetLedRange(0, 3, 4), 0);
    }
    const std::vector<std::string> namesBefore = fresh.ValueNames();
    const RawValue floorBefore = fresh.Read("LED 1 Floor");
    fresh.DenyWrites();
    EXPECT_EQ(Load(), 1) << populated;
    EXPECT_EQ(Save(), 1) << populated;
    EXPECT_EQ(fresh.ValueNames(), namesBefore) << populated;
    EXPECT_EQ(fresh.Read("LED 1 Floor").data, floorBefore.data) << populated;
  }
}

}  // namespace
