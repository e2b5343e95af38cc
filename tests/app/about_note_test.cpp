// The about box tells the user when the LEDs are the virtual port's, and
// only then.
#include <algorithm>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"
#include "tests/app/config_fixture.h"
#include "tests/fakes/port_io_driver_fakes.h"

namespace {

TEST_F(ConfigDialogTest, AboutNotesTheVirtualPortOnly) {
  const struct {
    PortIoLibrary library;
    bool noted;
  } rows[] = {{kPortIoInpOut, false}, {kPortIoVirtual, true}};  // each box costs Wine about two seconds
  Show();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.library);
    driver.library = row.library;
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
    const bool noted = std::count(texts.begin(), texts.end(), "Virtual port in use: no real LEDs are driven.") == 1;
    EXPECT_EQ(noted, row.noted);
    EXPECT_EQ(texts.size(), row.noted ? 11u : 10u) << "the template's controls stay as they are";
    if (row.noted) {
      EXPECT_LE(note.bottom, ok.top) << "the note sits above OK";
    }
  }
  driver.library = kPortIoNone;
}

}  // namespace
