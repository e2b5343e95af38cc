// A test fixture that maps HKEY_DYN_DATA to a scratch key of this process,
// where a test plants the kernel statistic's keys and value.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sources/source_kinds.h"

class DynDataTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetSourceKinds();
    scratchPath_ = "Software\\PipstackTests\\DynData" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &scratch_, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_DYN_DATA, scratch_), ERROR_SUCCESS);
  }

  void TearDown() override {
    RegOverridePredefKey(HKEY_DYN_DATA, nullptr);
    RegCloseKey(scratch_);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
  }

  // Creates the subkey; with data, also the statistic's value in it.
  void Plant(const char* subkey, const std::vector<BYTE>* data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(scratch_, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    if (data != nullptr) {
      ASSERT_EQ(RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_BINARY, data->data(), static_cast<DWORD>(data->size())),
                ERROR_SUCCESS);
    }
    RegCloseKey(key);
  }

  void PlantCpu(std::vector<BYTE> data) { Plant("PerfStats\\StatData", &data); }

 private:
  HKEY scratch_ = nullptr;
  std::string scratchPath_;
};
