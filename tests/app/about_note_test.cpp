// The about box tells the user when the LEDs are the virtual port's, and
// names a USB output; of a real parallel port it says nothing.
#include <algorithm>
#include <string>
#include <vector>

#include "app/about_dialog_win.h"
#include "app/resources/resource_ids.h"
#include "tests/app/config_fixture.h"
#include "tests/fakes/port_io_driver_fakes.h"

namespace {

TEST_F(ConfigDialogTest, AboutNotesTheVirtualPortAndNamesAUsbOutput) {
  const struct {
    PortIoLibrary library;
    const char* output;
    const char* note;  // null: none
  } rows[] = {
      // Each box costs Wine about two seconds.
      {kPortIoInpOut, "", nullptr},
      {kPortIoVirtual, "", "Virtual port in use: no real LEDs are driven."},
      {kPortIoNone, "Pipstack LED controller on COM5", "LEDs: Pipstack LED controller on COM5"},
  };
  Show();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.library);
    driver.library = row.library;
    SetAboutOutputName(row.output);
    std::vector<std::string> texts;
    RECT note{};
    RECT ok{};
    StartModalScript("About Pipstack", {[&](HWND box) {
                       texts = ChildTexts(box);
                       GetWindowRect(GetDlgItem(box, IDC_ABOUT_OK), &ok);
                       HWND last = GetWindow(GetDlgItem(box, IDC_ABOUT_OK), GW_HWNDLAST);
                       GetWindowRect(last, &note);
                       SendDlgItemMessageA(box, IDC_ABOUT_OK, BM_CLICK, 0, 0);
                     }});
    Click(IDC_CONFIG_ABOUT);
    EXPECT_TRUE(ModalScriptSucceeded());
    const bool noted = row.note != nullptr && std::count(texts.begin(), texts.end(), row.note) == 1;
    EXPECT_EQ(noted, row.note != nullptr);
    EXPECT_EQ(texts.size(), row.note != nullptr ? 11u : 10u) << "the template's controls stay as they are";
    if (noted) {
      EXPECT_LE(note.bottom, ok.top) << "the note sits above OK";
    }
  }
  driver.library = kPortIoNone;
  SetAboutOutputName("");
}

}  // namespace
