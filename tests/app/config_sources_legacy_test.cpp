// The configuration dialog over the real sources with pdh.dll unloadable:
// kind labels, and "..." opens Select Data Source whose OK stores the kind.
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"
#include "tests/app/config_fixture.h"

namespace {

class ConfigLegacyTest : public BackgroundWindowFixture {
 protected:
  void SetUp() override {
    ResetSourceKinds();
    ASSERT_EQ(IsPdhAvailable(), 0) << "run with WINEDLLOVERRIDES=pdh=d";
    BackgroundWindowFixture::SetUp();
  }
};

TEST_F(ConfigLegacyTest, LabelsShowKindsAndTheChosenKindIsStored) {
  SetSourceKind(1, kSourceMem);
  Show();
  for (int32_t i = 0; i < kLedCount; ++i) {
    EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1 + i), i == 1 ? "Memory Used (MB)" : "CPU Utilization (%)") << i;
  }

  struct Row {
    int32_t index;
    LRESULT selectedAtStart;
    int choose;
    const char* label;
  };
  const std::vector<Row> rows = {{1, kSourceMem, kSourceCpu, "CPU Utilization (%)"},
                                 {4, kSourceCpu, kSourceMem, "Memory Used (MB)"}};
  for (const Row& row : rows) {
    LRESULT selected = -2;
    StartModalScript("Select Data Source", {[&](HWND box) {
                       selected = SendDlgItemMessageA(box, IDC_SOURCE_LIST, CB_GETCURSEL, 0, 0);
                       SendDlgItemMessageA(box, IDC_SOURCE_LIST, CB_SETCURSEL, row.choose, 0);
                       SendDlgItemMessageA(box, IDC_SOURCE_OK, BM_CLICK, 0, 0);
                     }});
    Click(IDC_CONFIG_SOURCE_BUTTON_1 + row.index);
    EXPECT_TRUE(ModalScriptSucceeded()) << row.index;
    EXPECT_EQ(selected, row.selectedAtStart) << row.index;
    EXPECT_EQ(GetSourceKind(row.index), row.choose) << row.index;
    EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1 + row.index), row.label) << row.index;
  }
}

}  // namespace
