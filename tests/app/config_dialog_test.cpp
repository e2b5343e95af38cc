// The poll window and the configuration dialog, created for real under Wine
// and driven with the messages that the user's actions send.
#include <array>
#include <climits>
#include <vector>

#include "app/resources/resource_ids.h"
#include "tests/app/config_fixture.h"

namespace {

TEST_F(ConfigDialogTest, PollWindowIsAHiddenOnePixelPopupThatOwnsTheHiddenDialog) {
  EXPECT_EQ(poll, PollWindow());
  EXPECT_EQ(dialog, ConfigDialog());
  EXPECT_EQ(FindThreadWindow("Pipstack Poll Window", false), poll);
  char className[32] = {};
  GetClassNameA(poll, className, sizeof className);
  EXPECT_STREQ(className, "Pipstack");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(poll, GWL_STYLE)) & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(GetWindowLongA(poll, GWL_EXSTYLE), 0);
  RECT rect;
  GetWindowRect(poll, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 1);
  EXPECT_EQ(rect.bottom, 1);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), poll);
  EXPECT_FALSE(IsWindowVisible(poll));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsConfigVisible());
  EXPECT_FALSE(IsQuitRequested());

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "Pipstack", &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  EXPECT_EQ(wc.cbClsExtra, 0);
  EXPECT_EQ(wc.cbWndExtra, 0);
  EXPECT_NE(wc.hIcon, nullptr);
  EXPECT_NE(wc.hIconSm, nullptr);
  EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(9));
  EXPECT_EQ(wc.lpszMenuName, nullptr);
}

TEST_F(ConfigDialogTest, SecondRegistrationOfTheClassFailsWithOne) {
  EXPECT_EQ(CreateBackgroundWindow(GetModuleHandleA(nullptr)), 1);
  EXPECT_EQ(PollWindow(), poll) << "the running poll window is kept";
}

TEST(BackgroundWindowTest, MissingDialogTemplateFailsWithTwoAndLeavesNoQuitBehind) {
  // A module without the program's resources: the dialog cannot be created,
  // so neither can the poll window.
  const HINSTANCE instance = GetModuleHandleA("kernel32.dll");
  ResetRunState();
  EXPECT_EQ(CreateBackgroundWindow(instance), 2);
  EXPECT_EQ(PollWindow(), nullptr);
  EXPECT_EQ(FindThreadWindow("Pipstack Poll Window", false), nullptr);
  // The caller is about to report the failure in a message box, which a
  // pending quit message would close at once.
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_FALSE(IsQuitRequested());
  UnregisterClassA(kPollWindowClass, instance);
}

TEST_F(ConfigDialogTest, ShowRequestShowsAndRefreshesTheDialogOnceAndPausesTheMeter) {
  SetLedRange(2, 33, 66);
  Show();
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsConfigVisible());
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_3), "33");
  RECT before;
  GetWindowRect(dialog, &before);
  EXPECT_EQ(before.left, 0);
  EXPECT_EQ(before.top, 0);

  // A further request while shown changes nothing.
  SetQuietly(IDC_CONFIG_FLOOR_3, "44");
  PostMessageA(poll, WM_USER, 7, 9);
  DrainQueue();
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsConfigVisible());
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_3), "44");
}

TEST_F(ConfigDialogTest, CloseHidesTheDialogAndResumesTheMeter) {
  Show();
  Click(IDC_CONFIG_CLOSE);
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsConfigVisible());
  EXPECT_TRUE(IsWindow(poll));
  EXPECT_FALSE(IsQuitRequested());
  EXPECT_FALSE(DrainQueue());
}

TEST_F(ConfigDialogTest, QuitEndsBothWindowsPostsTheQuitMessageAndSetsTheFlags) {
  Show();
  Click(IDC_CONFIG_QUIT);
  EXPECT_FALSE(IsConfigVisible());
  EXPECT_TRUE(IsQuitRequested());
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(poll));
  EXPECT_TRUE(DrainQueue()) << "no quit message";
}

TEST_F(ConfigDialogTest, ClosingThePollWindowEndsTheProgramAsQuitDoes) {
  SendMessageA(poll, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsQuitRequested());
  EXPECT_FALSE(IsConfigVisible());
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(DrainQueue());
}

TEST_F(ConfigDialogTest, SessionEndSavesOnlyWhenTheSessionReallyEnds) {
  SendMessageA(poll, WM_ENDSESSION, FALSE, 0);
  EXPECT_EQ(app.sessionEndCalls, 0);
  SendMessageA(poll, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(app.sessionEndCalls, 1);
}

TEST_F(ConfigDialogTest, CancelInEveryFormLeavesTheDialogShown) {
  Show();
  const std::vector<std::pair<const char*, void (*)(HWND)>> cancels = {
      {"IDCANCEL", [](HWND d) { SendMessageA(d, WM_COMMAND, IDCANCEL, 0); }},
      {"close box and Alt+F4", [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Escape",
       [](HWND d) {
         SetFocus(GetDlgItem(d, IDC_CONFIG_FLOOR_1));
         MSG key{GetDlgItem(d, IDC_CONFIG_FLOOR_1), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
         IsDialogMessageA(d, &key);
       }},
  };
  for (const auto& [name, cancel] : cancels) {
    cancel(dialog);
    DrainQueue();
    EXPECT_TRUE(IsWindowVisible(dialog)) << name;
    EXPECT_TRUE(IsConfigVisible()) << name;
  }
}

TEST_F(ConfigDialogTest, EnterInAFloorEditActsAsClose) {
  Show();
  SetFocus(Item(IDC_CONFIG_FLOOR_5));
  MSG key{Item(IDC_CONFIG_FLOOR_5), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dialog, &key));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(IsConfigVisible());
}

TEST_F(ConfigDialogTest, AChangeInAnyEditStoresAllEightWindowsAsShown) {
  Show();
  for (int trigger = IDC_CONFIG_FLOOR_1; trigger <= IDC_CONFIG_CEILING_8; ++trigger) {
    ResetMeterSettings();
    // Every edit shows its own number; the trigger's is written last, loudly.
    for (int id = IDC_CONFIG_FLOOR_1; id <= IDC_CONFIG_CEILING_8; ++id) {
      if (id != trigger) SetQuietly(id, std::to_string(id * 3 - trigger).c_str());
    }
    SetDlgItemTextA(dialog, trigger, std::to_string(trigger * 2).c_str());
    for (int32_t i = 0; i < 8; ++i) {
      const int floorId = IDC_CONFIG_FLOOR_1 + i;
      const int ceilingId = IDC_CONFIG_CEILING_1 + i;
      int32_t floor = 0;
      int32_t ceiling = 0;
      GetLedRange(i, &floor, &ceiling);
      EXPECT_EQ(floor, floorId == trigger ? trigger * 2 : floorId * 3 - trigger) << "trigger " << trigger;
      EXPECT_EQ(ceiling, ceilingId == trigger ? trigger * 2 : ceilingId * 3 - trigger) << "trigger " << trigger;
    }
  }
}

TEST_F(ConfigDialogTest, EdgesOfWhatAnEditConvertsTo) {
  Show();
  struct Row {
    const char* text;
    int32_t stored;
  };
  // clang-format off
  const std::vector<Row> rows = {
      {"", 0},         {"0", 0},          {"12abc", 12},
      {"  7", 7},      {"-5", -5},        {"2147483647", INT32_MAX},
      {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN},
  };
  // clang-format on
  for (const Row& row : rows) {
    SetDlgItemTextA(dialog, IDC_CONFIG_CEILING_2, row.text);
    int32_t floor = 0;
    int32_t ceiling = 0;
    GetLedRange(1, &floor, &ceiling);
    EXPECT_EQ(ceiling, row.stored) << '"' << row.text << '"';
  }
}

TEST_F(ConfigDialogTest, EmptiedFloorStoresZeroAndTheNextRefreshShowsIt) {
  SetLedRange(2, 30, 90);
  Show();
  SetDlgItemTextA(dialog, IDC_CONFIG_FLOOR_3, "");
  EXPECT_EQ(Floor(2), 0);
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_3), "");
  Move();
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_3), "0");
}

TEST_F(ConfigDialogTest, TypedDigitsAreStoredOneByOne) {
  Show();
  SetDlgItemTextA(dialog, IDC_CONFIG_FLOOR_6, "");
  const std::vector<std::pair<const char*, int32_t>> keys = {{"5", 5}, {"x", 5}, {"5", 55}};
  for (const auto& [key, floor] : keys) {
    Type(IDC_CONFIG_FLOOR_6, key);
    EXPECT_EQ(Floor(5), floor) << "after " << key;
  }

  SetMeterOptions(kInterpolationOff, 40);
  SetDlgItemTextA(dialog, IDC_CONFIG_WRITE_DELAY, "");
  EXPECT_EQ(Options().writeDelay, 40) << "an empty delay is refused";
  const std::vector<std::pair<const char*, int32_t>> delays = {{"1", 1}, {"0", 10}, {"0", 100}};
  for (const auto& [key, delay] : delays) {
    Type(IDC_CONFIG_WRITE_DELAY, key);
    EXPECT_EQ(Options().writeDelay, delay) << "after " << key;
  }
}

TEST_F(ConfigDialogTest, ZeroOrEmptyWriteDelayKeepsTheDelayAndTheRefreshShowsIt) {
  Show();
  for (const char* text : {"0", ""}) {
    SetMeterOptions(kInterpolationOff, 25);
    SetDlgItemTextA(dialog, IDC_CONFIG_WRITE_DELAY, text);
    EXPECT_EQ(Options().writeDelay, 25) << '"' << text << '"';
    EXPECT_EQ(Text(IDC_CONFIG_WRITE_DELAY), text);
    Move();
    EXPECT_EQ(Text(IDC_CONFIG_WRITE_DELAY), "25");
  }
}

TEST_F(ConfigDialogTest, ListChoiceCountsOnlyWithTheBoxTicked) {
  SetMeterOptions(kInterpolationOff, 40);
  Show();
  const HWND list = Item(IDC_CONFIG_INTERPOLATION_LED);
  EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0) << "interpolation off shows \"1\"";
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONFIG_INTERPOLATE), static_cast<UINT>(BST_UNCHECKED));

  // Choosing "5" stores -1 and the delay as the edit shows it.
  SetQuietly(IDC_CONFIG_WRITE_DELAY, "77");
  SendMessageA(list, CB_SETCURSEL, 4, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_INTERPOLATION_LED, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(Options().interpolationLed, kInterpolationOff);
  EXPECT_EQ(Options().writeDelay, 77);

  Click(IDC_CONFIG_INTERPOLATE);
  EXPECT_EQ(Options().interpolationLed, 4);

  Click(IDC_CONFIG_INTERPOLATE);
  EXPECT_EQ(Options().interpolationLed, kInterpolationOff);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 4) << "the list keeps \"5\" until the next refresh";
  Move();
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);

  // Other list notifications store nothing.
  SetMeterOptions(2, 40);
  SendMessageA(list, CB_SETCURSEL, 6, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_INTERPOLATION_LED, CBN_DROPDOWN),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(Options().interpolationLed, 2);
}

TEST_F(ConfigDialogTest, RefreshShowsTheModelsAndStoresNothing) {
  SetLedRange(0, -5, 100);
  SetMeterOptions(kInterpolationOff, 40);
  Show();
  // Stale controls: had the refresh's own writes been read back, the ticked
  // box and the list would have turned interpolation on for LED 7.
  CheckDlgButton(dialog, IDC_CONFIG_INTERPOLATE, BST_CHECKED);
  SendMessageA(Item(IDC_CONFIG_INTERPOLATION_LED), CB_SETCURSEL, 6, 0);
  SetQuietly(IDC_CONFIG_WRITE_DELAY, "9");
  RefreshConfigDialog(dialog);
  EXPECT_EQ(Options().interpolationLed, kInterpolationOff);
  EXPECT_EQ(Options().writeDelay, 40);
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_1), "-5");
  EXPECT_EQ(Text(IDC_CONFIG_CEILING_1), "100");
  EXPECT_EQ(Text(IDC_CONFIG_WRITE_DELAY), "40");
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONFIG_INTERPOLATE), static_cast<UINT>(BST_UNCHECKED));

  SetMeterOptions(3, 40);
  RefreshConfigDialog(dialog);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONFIG_INTERPOLATE), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(SendMessageA(Item(IDC_CONFIG_INTERPOLATION_LED), CB_GETCURSEL, 0, 0), 3);

  // Once the refresh is over, an edit counts again.
  SetDlgItemTextA(dialog, IDC_CONFIG_FLOOR_1, "7");
  EXPECT_EQ(Floor(0), 7);
}

// Writes into a floor and the write delay the first time the dialog hears of
// an edit, which is the refresh's own first write.
bool wroteDuringRefresh = false;
LRESULT CALLBACK WriteAtFirstChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && !wroteDuringRefresh) {
    wroteDuringRefresh = true;
    SetDlgItemTextA(window, IDC_CONFIG_FLOOR_5, "99");
    SetDlgItemTextA(window, IDC_CONFIG_WRITE_DELAY, "99");
  }
  return CallWindowProcA(Subclass::previous, window, message, wParam, lParam);
}

TEST_F(ConfigDialogTest, EditsMadeWhileARefreshWritesAreNotReadBack) {
  Show();
  SetLedRange(4, 10, 20);
  SetMeterOptions(kInterpolationOff, 40);
  SetLedRange(0, 1, 100);  // so that the refresh writes the first floor anew
  {
    const Subclass writer(dialog, WriteAtFirstChange);
    RefreshConfigDialog(dialog);
  }
  ASSERT_TRUE(wroteDuringRefresh);
  EXPECT_EQ(Floor(4), 10);
  EXPECT_EQ(Options().writeDelay, 40);
  EXPECT_EQ(Text(IDC_CONFIG_FLOOR_5), "10");
}

TEST_F(ConfigDialogTest, PdhFamilyShowsCounterPathsAndBrowsesForTheLed) {
  sources.pdhAvailable = 1;
  // clang-format off
  sources.counterPaths = {"\\Processor(_Total)\\% Processor Time", "\\Memory\\Available MBytes", nullptr,
                          "\\A", "\\B", "\\C", "\\D", "\\E"};
  // clang-format on
  Show();
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1), "\\Processor(_Total)\\% Processor Time");
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_2), "\\Memory\\Available MBytes");
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_3), "") << "an LED without a path";
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_8), "\\E");

  sources.pathAfterBrowse = "\\Chosen\\Counter";
  Click(IDC_CONFIG_SOURCE_BUTTON_3);
  ASSERT_EQ(sources.browses.size(), 1u);
  EXPECT_EQ(sources.browses[0].first, dialog);
  EXPECT_EQ(sources.browses[0].second, 2);
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_3), "\\Chosen\\Counter") << "refreshed after the browse";
  EXPECT_TRUE(sources.setKinds.empty());
}

TEST_F(ConfigDialogTest, LegacyFamilyShowsKindLabelsAndChoosesInSelectDataSource) {
  sources.kinds = {0, 1, 0, 0, 0, 0, 1, 0};
  Show();
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1), "CPU Utilization (%)");
  EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_7), "Memory Used (MB)");

  struct Row {
    int button;
    int32_t index;
    LRESULT selectedAtStart;
    int choose;  // entry to select before OK
  };
  const std::vector<Row> rows = {{IDC_CONFIG_SOURCE_BUTTON_7, 6, 1, 0}, {IDC_CONFIG_SOURCE_BUTTON_1, 0, 0, 1}};
  for (const Row& row : rows) {
    sources.setKinds.clear();
    LRESULT selected = -2;
    HWND owner = nullptr;
    StartModalScript("Select Data Source", {[&](HWND box) {
                       selected = SendDlgItemMessageA(box, IDC_SOURCE_LIST, CB_GETCURSEL, 0, 0);
                       owner = GetWindow(box, GW_OWNER);
                       SendDlgItemMessageA(box, IDC_SOURCE_LIST, CB_SETCURSEL, row.choose, 0);
                       SendDlgItemMessageA(box, IDC_SOURCE_OK, BM_CLICK, 0, 0);
                     }});
    Click(row.button);
    EXPECT_TRUE(ModalScriptSucceeded());
    EXPECT_EQ(selected, row.selectedAtStart) << "LED index " << row.index;
    EXPECT_EQ(owner, dialog);
    EXPECT_EQ(sources.setKinds, (std::vector<std::pair<int32_t, int32_t>>{{row.index, row.choose}}));
    EXPECT_EQ(Text(IDC_CONFIG_SOURCE_LABEL_1 + row.index),
              row.choose == 0 ? "CPU Utilization (%)" : "Memory Used (MB)");
  }
  EXPECT_TRUE(sources.browses.empty());
}

TEST_F(ConfigDialogTest, SourceKindOutsideTheListIsLeftAloneWhenNothingIsChosen) {
  sources.kinds[3] = 7;
  Show();
  StartModalScript("Select Data Source", {[](HWND box) { SendDlgItemMessageA(box, IDC_SOURCE_OK, BM_CLICK, 0, 0); }});
  Click(IDC_CONFIG_SOURCE_BUTTON_4);
  EXPECT_TRUE(ModalScriptSucceeded());
  EXPECT_TRUE(sources.setKinds.empty());
  EXPECT_EQ(sources.kinds[3], 7);
}

}  // namespace
