// Test Sequences, About and Select Data Source run modally from the shown
// configuration dialog, driven from inside their own message loops.
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "app/source_dialog_win.h"
#include "sources/source_kinds.h"
#include "tests/app/config_fixture.h"

namespace {

// Every way the standard cancel command reaches a dialog.
void SendEveryCancel(HWND box) {
  SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
  SendMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  const HWND focus = GetFocus();
  MSG key{focus != nullptr ? focus : box, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
  IsDialogMessageA(box, &key);
}

ModalStep ExpectStillOpen(bool* open) {
  return [open](HWND box) { *open = IsWindowVisible(box) != FALSE; };
}

ModalStep Press(int id) {
  return [id](HWND box) { SendDlgItemMessageA(box, id, BM_CLICK, 0, 0); };
}

TEST_F(ConfigDialogTest, MeterTestsPlaysBothSequencesAndEndsOnlyThroughClose) {
  Show();
  bool openAfterCancel = false;
  HWND owner = nullptr;
  StartModalScript("Test Sequences", {[&owner](HWND box) { owner = GetWindow(box, GW_OWNER); }, SendEveryCancel,
                                      ExpectStillOpen(&openAfterCancel), Press(IDC_TEST_SHORT), Press(IDC_TEST_FULL),
                                      Press(IDC_TEST_CLOSE)});
  Click(IDC_CONFIG_METER_TESTS);
  EXPECT_TRUE(ModalScriptSucceeded());
  EXPECT_EQ(owner, dialog);
  EXPECT_TRUE(openAfterCancel);
  EXPECT_EQ(app.boxes, (std::vector<std::string>{"Short test complete!", "Full test complete!"}));
  EXPECT_EQ(fakes.writes.size(), 33u + 256u);
  EXPECT_EQ(app.writesAtBox, (std::vector<int32_t>{33, 33 + 256}));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the configuration stays shown";
  EXPECT_TRUE(IsConfigVisible());
}

TEST_F(ConfigDialogTest, AboutEndsOnlyThroughOk) {
  Show();
  bool openAfterCancel = false;
  HWND owner = nullptr;
  StartModalScript("About Pipstack", {[&owner](HWND box) { owner = GetWindow(box, GW_OWNER); }, SendEveryCancel,
                                      ExpectStillOpen(&openAfterCancel), Press(IDC_ABOUT_OK)});
  Click(IDC_CONFIG_ABOUT);
  EXPECT_TRUE(ModalScriptSucceeded());
  EXPECT_EQ(owner, dialog);
  EXPECT_TRUE(openAfterCancel);
  EXPECT_TRUE(app.boxes.empty());
}

TEST_F(ConfigDialogTest, SelectDataSourceListsTwoEntriesSelectsTheKindAndEndsWithTheChoice) {
  struct Row {
    int32_t kind;      // the LED's kind when the dialog opens
    LRESULT selected;  // entry selected at the start
    INT_PTR result;    // what OK ends the dialog with
  };
  const std::vector<Row> rows = {{kSourceCpu, 0, 0}, {kSourceMem, 1, 1}, {5, -1, -1}};
  for (const Row& row : rows) {
    sources.kinds[2] = row.kind;
    bool openAfterCancel = false;
    std::vector<std::string> entries;
    LRESULT selected = -2;
    StartModalScript("Select Data Source", {[&](HWND box) {
                                              const HWND list = GetDlgItem(box, IDC_SOURCE_LIST);
                                              selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
                                              for (LRESULT k = 0; k < SendMessageA(list, CB_GETCOUNT, 0, 0); ++k) {
                                                char text[64] = {};
                                                SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(k),
                                                             reinterpret_cast<LPARAM>(text));
                                                entries.emplace_back(text);
                                              }
                                            },
                                            SendEveryCancel, ExpectStillOpen(&openAfterCancel), Press(IDC_SOURCE_OK)});
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SOURCE), dialog, SourceDialogProc, 2);
    EXPECT_TRUE(ModalScriptSucceeded()) << "kind " << row.kind;
    EXPECT_EQ(entries, (std::vector<std::string>{"CPU Utilization (%)", "RAM Utilization (MB)"}));
    EXPECT_EQ(selected, row.selected) << "kind " << row.kind;
    EXPECT_EQ(result, row.result) << "kind " << row.kind;
    EXPECT_TRUE(openAfterCancel);
  }
}

}  // namespace
