// The dialog templates as the platform creates them, and the other resources:
// icon, version, manifest and the list entries resource of Select Data Source.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"

namespace {

struct ControlRow {
  int id;
  const char* className;
  DWORD style;  // as in the template; the platform adds WS_CHILD | WS_VISIBLE
  const char* text;
  int x, y, width, height;  // dialog units
};

struct DialogCase {
  int id;
  const char* caption;
  DWORD style;
  int width, height;
  std::vector<ControlRow> controls;
};

constexpr DWORD kStatic = SS_LEFT | SS_CENTERIMAGE | WS_GROUP;
constexpr DWORD kNumberEdit = ES_LEFT | ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefaultButton = BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kFramedPopup = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr int kNone = 0xFFFF;

std::vector<ControlRow> ConfigControls() {
  // Rows from LED 8 at the top down to LED 1: y of the label and edits, s of
  // the source button and label.
  constexpr std::array<int, 8> y{7, 41, 78, 116, 153, 188, 223, 258};
  constexpr std::array<int, 8> s{24, 58, 95, 134, 170, 206, 240, 275};
  static std::array<std::string, 8> labels;
  static std::array<std::string, 8> sources;
  std::vector<ControlRow> rows{{1032, "Button", kDefaultButton, "&Close", 184, 329, 50, 14}};
  for (int row = 0; row < 8; ++row) {
    const int n = 8 - row;
    const int i = n - 1;
    labels[row] = "Turn on LED " + std::to_string(n) + " when its value is between:";
    sources[row] = "(LED " + std::to_string(n) + " Source)";
    const DWORD sourceStyle = n == 4 ? SS_LEFT | WS_GROUP : kStatic;
    rows.push_back({kNone, "Static", kStatic, labels[row].c_str(), 7, y[row], 134, 13});
    rows.push_back({1000 + i, "Edit", kNumberEdit, "", 143, y[row], 37, 13});
    rows.push_back({1008 + i, "Edit", kNumberEdit, "", 197, y[row], 37, 13});
    rows.push_back({kNone, "Static", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | WS_GROUP, "and", 182, y[row], 13, 13});
    rows.push_back({1016 + i, "Button", kButton, "...", 56, s[row], 15, 13});
    rows.push_back({1024 + i, "Static", sourceStyle, sources[row].c_str(), 76, s[row], 158, 12});
    // The live value left of the source button: a dash until the first reading.
    rows.push_back({1050 + i, "Static", SS_OWNERDRAW | WS_GROUP, "-", 7, s[row], 47, 12});
  }
  // clang-format off
  rows.insert(rows.end(), {
      {1043, "Button", kButton, "Meter &Tests...", 61, 329, 50, 14},
      {1044, "Button", kButton, "&About...", 7, 329, 50, 14},
      {1038, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "Interpolate on LED Source", 7, 302, 96, 13},
      {1034, "Button", kButton, "&Quit", 129, 329, 50, 14},
      {kNone, "Static", kStatic, "Write Delay: ", 168, 302, 41, 13},
      {1036, "Edit", kNumberEdit, "", 212, 302, 22, 13},
      {1039, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, "", 109, 302, 33, 115},
  });
  // clang-format on
  return rows;
}

const std::vector<DialogCase>& Dialogs() {
  // clang-format off
  static const std::vector<DialogCase> dialogs = {
      {101, "Pipstack Configuration", DS_MODALFRAME | DS_SETFONT | WS_CAPTION | WS_SYSMENU, 241, 351,
       ConfigControls()},
      {103, "Test Sequences", kFramedPopup, 137, 70,
       {{1032, "Button", kDefaultButton, "Close", 28, 48, 82, 14},
        {1042, "Button", kButton, "Short Test (Dots, Lines)", 7, 7, 123, 14},
        {1045, "Button", kButton, "Full Test (ALL Possible Displays)", 7, 22, 123, 14}}},
      {104, "Select Data Source", kFramedPopup, 186, 26,
       {{1040, "Button", kDefaultButton, "OK", 129, 7, 50, 12},
        {1037, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP, "", 7, 7, 116, 83}}},
      {105, "About Pipstack", kFramedPopup, 227, 180,
       {{1040, "Button", kDefaultButton, "OK", 104, 159, 20, 14},
        {kNone, "Static", SS_ICON, nullptr, 7, 7, 21, 20},  // its text is the icon's id
        {kNone, "Static", SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
         "Pipstack 1.0 - LED Array Driver for Parallel Ports", 36, 7, 184, 20},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 30, 213, 8},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 49, 213, 9},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 61, 213, 9},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 85, 213, 9},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 97, 213, 9},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 121, 213, 9},
        {kNone, "Static", SS_CENTER | WS_GROUP, nullptr, 7, 133, 213, 9}}},
  };
  // clang-format on
  return dialogs;
}

// Creates a dialog from its template with a procedure that handles nothing,
// so that what the test sees is the template alone.
INT_PTR CALLBACK InertProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct DialogWindow {
  explicit DialogWindow(int id)
      : window(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, InertProc, 0)) {}
  ~DialogWindow() {
    if (window != nullptr) DestroyWindow(window);
  }
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  HWND window;
};

// Position and size in pixels, each mapped on its own as the dialog manager
// maps a control's.
RECT DialogUnits(HWND dialog, int x, int y, int width, int height) {
  RECT place{x, y, width, height};
  MapDialogRect(dialog, &place);
  return RECT{place.left, place.top, place.left + place.right, place.top + place.bottom};
}

RECT RectInDialog(HWND dialog, HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string WindowText(HWND window) {
  std::array<char, 512> text{};
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

std::string ClassOf(HWND window) {
  std::array<char, 256> name{};
  GetClassNameA(window, name.data(), static_cast<int>(name.size()));
  return name.data();
}

const void* Resource(const char* name, const char* type, DWORD* size) {
  const HMODULE module = GetModuleHandleA(nullptr);
  const HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return nullptr;
  *size = SizeofResource(module, found);
  return LockResource(LoadResource(module, found));
}

// A sz_Or_Ord field of a dialog template: 0, 0xFFFF and an ordinal, or text.
const WORD* SkipNameOrOrdinal(const WORD* field) {
  if (*field == 0xFFFF) return field + 2;
  while (*field != 0) ++field;
  return field + 1;
}

std::string NarrowText(const WORD* text) {
  std::string out;
  for (; *text != 0; ++text) out.push_back(static_cast<char>(*text));
  return out;
}

struct TemplateItem {
  DWORD style;
  int x, y, width, height;
  int id;
  std::string className;
};

struct DialogTemplate {
  DWORD style = 0;
  WORD count = 0;
  short x = -1, y = -1, cx = 0, cy = 0;
  std::string caption;
  WORD pointSize = 0;
  std::string face;
  std::vector<TemplateItem> items;
};

std::string ClassName(WORD atom) {
  const std::vector<std::pair<WORD, const char*>> atoms = {
      {0x80, "Button"}, {0x81, "Edit"}, {0x82, "Static"}, {0x85, "ComboBox"}};
  for (const auto& [known, name] : atoms) {
    if (known == atom) return name;
  }
  return "atom " + std::to_string(atom);
}

const WORD* AlignToDword(const WORD* at) {
  const auto address = reinterpret_cast<uintptr_t>(at);
  return reinterpret_cast<const WORD*>((address + 3) & ~uintptr_t{3});
}

DialogTemplate ReadTemplate(int id) {
  DWORD size = 0;
  const auto* dialog = static_cast<const DLGTEMPLATE*>(Resource(MAKEINTRESOURCEA(id), RT_DIALOG, &size));
  DialogTemplate t;
  if (dialog == nullptr) return t;
  t.style = dialog->style;
  t.count = dialog->cdit;
  t.x = dialog->x;
  t.y = dialog->y;
  t.cx = dialog->cx;
  t.cy = dialog->cy;
  // Both fixed parts are 18 bytes in the resource, whatever padding the
  // structures get in memory.
  constexpr std::size_t kFixedPart = 18;
  const WORD* field = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(dialog) + kFixedPart);
  field = SkipNameOrOrdinal(field);  // menu
  field = SkipNameOrOrdinal(field);  // class
  t.caption = NarrowText(field);
  field = SkipNameOrOrdinal(field);
  t.pointSize = *field;
  t.face = NarrowText(field + 1);
  field = SkipNameOrOrdinal(field + 1);
  for (WORD k = 0; k < t.count; ++k) {
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(AlignToDword(field));
    field = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(item) + kFixedPart);
    // The class comes as a predefined atom or as its name.
    const std::string className = field[0] == 0xFFFF ? ClassName(field[1]) : NarrowText(field);
    t.items.push_back({item->style, item->x, item->y, item->cx, item->cy, item->id, className});
    field = SkipNameOrOrdinal(field);    // class
    field = SkipNameOrOrdinal(field);    // text
    field += 1 + *field / sizeof(WORD);  // creation data
  }
  return t;
}

TEST(DialogTemplateTest, TemplatesGiveCaptionStyleSizeFontAndEveryControl) {
  for (const DialogCase& d : Dialogs()) {
    const DialogTemplate t = ReadTemplate(d.id);
    SCOPED_TRACE(d.caption);
    EXPECT_EQ(t.style, d.style);
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, d.width);
    EXPECT_EQ(t.cy, d.height);
    EXPECT_EQ(t.caption, d.caption);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.face, "MS Sans Serif");
    ASSERT_EQ(t.items.size(), d.controls.size());
    for (std::size_t k = 0; k < t.items.size(); ++k) {
      const TemplateItem& item = t.items[k];
      const ControlRow& row = d.controls[k];
      SCOPED_TRACE("control " + std::to_string(k));
      EXPECT_EQ(item.id, row.id);
      EXPECT_STRCASEEQ(item.className.c_str(), row.className);
      EXPECT_EQ(item.style, row.style | WS_CHILD | WS_VISIBLE);
      EXPECT_EQ(item.x, row.x);
      EXPECT_EQ(item.y, row.y);
      EXPECT_EQ(item.width, row.width);
      EXPECT_EQ(item.height, row.height);
    }
  }
}

TEST(DialogTemplateTest, CreatedDialogsHaveTheirSizeFontAndVisibility) {
  for (const DialogCase& d : Dialogs()) {
    SCOPED_TRACE(d.caption);
    DialogWindow dialog(d.id);
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(WindowText(dialog.window), d.caption);
    // The configuration dialog alone is created hidden; the others are shown
    // by the modal loop, so they lack WS_VISIBLE in their templates as well.
    EXPECT_FALSE(IsWindowVisible(dialog.window));
    const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog.window, GWL_STYLE));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    RECT client;
    GetClientRect(dialog.window, &client);
    const RECT expected = DialogUnits(dialog.window, 0, 0, d.width, d.height);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    RECT frame;
    GetWindowRect(dialog.window, &frame);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog.window, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  }
}

// Styles are read from the templates above: the controls adjust their own
// window styles (an edit draws its border itself and clears WS_BORDER).
TEST(DialogTemplateTest, ControlsComeInTemplateOrderWithIdClassTextAndPlace) {
  for (const DialogCase& d : Dialogs()) {
    DialogWindow dialog(d.id);
    ASSERT_NE(dialog.window, nullptr);
    HWND control = GetWindow(dialog.window, GW_CHILD);
    for (std::size_t k = 0; k < d.controls.size(); ++k, control = GetWindow(control, GW_HWNDNEXT)) {
      const ControlRow& row = d.controls[k];
      SCOPED_TRACE(std::string(d.caption) + ", control " + std::to_string(k));
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(GetDlgCtrlID(control), row.id);
      EXPECT_STRCASEEQ(ClassOf(control).c_str(), row.className);
      if (row.text != nullptr) {
        EXPECT_EQ(WindowText(control), row.text);
      }
      const RECT expected = DialogUnits(dialog.window, row.x, row.y, row.width, row.height);
      const RECT actual = RectInDialog(dialog.window, control);
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.top, expected.top);
      if ((row.style & SS_TYPEMASK) == SS_ICON && std::strcmp(row.className, "Static") == 0) {
        // An icon control takes the size of its icon.
        EXPECT_NE(SendMessageA(control, STM_GETICON, 0, 0), 0);
      } else if (std::strcmp(row.className, "ComboBox") == 0) {
        // The template's height includes the dropped-down list; the closed
        // box is as high as its font needs.
        EXPECT_EQ(actual.right, expected.right);
      } else {
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);
      }
    }
    EXPECT_EQ(control, nullptr) << d.caption << " has more controls than its table";
  }
}

TEST(DialogTemplateTest, TabOrderIsTemplateOrder) {
  for (const DialogCase& d : Dialogs()) {
    DialogWindow dialog(d.id);
    ASSERT_NE(dialog.window, nullptr);
    std::vector<int> expected;
    for (const ControlRow& row : d.controls) {
      if (row.style & WS_TABSTOP) expected.push_back(row.id);
    }
    std::vector<int> actual;
    HWND first = GetNextDlgTabItem(dialog.window, nullptr, FALSE);
    for (HWND item = first; item != nullptr && actual.size() <= expected.size();) {
      actual.push_back(GetDlgCtrlID(item));
      item = GetNextDlgTabItem(dialog.window, item, FALSE);
      if (item == first) break;
    }
    EXPECT_EQ(actual, expected) << d.caption;
  }
}

TEST(DialogTemplateTest, AboutBoxRuleIsEightyHyphensAndCreditLinesAreFilled) {
  DialogWindow dialog(105);
  ASSERT_NE(dialog.window, nullptr);
  std::vector<std::string> statics;
  for (HWND c = GetWindow(dialog.window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(c) == kNone) statics.push_back(WindowText(c));
  }
  ASSERT_EQ(statics.size(), 9u);
  EXPECT_EQ(statics[2], std::string(80, '-'));
  for (std::size_t k = 3; k < statics.size(); ++k) EXPECT_FALSE(statics[k].empty()) << "line " << k;
}

TEST(ResourceTest, IconIsOneImageOf32By32With256Colours) {
  DWORD size = 0;
  const auto* group = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(IDI_PIPSTACK), RT_GROUP_ICON, &size));
  ASSERT_NE(group, nullptr);
  ASSERT_GE(size, 6u + 14u);
  WORD count;
  std::memcpy(&count, group + 4, sizeof count);
  EXPECT_EQ(count, 1);
  const BYTE* entry = group + 6;  // width, height, colour count, reserved, planes, bits per pixel
  WORD bits;
  std::memcpy(&bits, entry + 6, sizeof bits);
  EXPECT_EQ(entry[0], 32);
  EXPECT_EQ(entry[1], 32);
  EXPECT_EQ(entry[2], 0) << "256 colours are written as 0";
  EXPECT_EQ(bits, 8);
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PIPSTACK)), nullptr);
}

TEST(ResourceTest, VersionResourceNamesTheProgram) {
  std::array<char, MAX_PATH> path{};
  GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.data(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.data(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  const std::vector<std::pair<const char*, const char*>> strings = {
      {"FileDescription", "Pipstack"},
      {"InternalName", "Pipstack"},
      {"ProductName", "Pipstack"},
      {"OriginalFilename", "Pipstack.exe"},
      {"FileVersion", "1, 1, 0, 1"},
      {"ProductVersion", "1, 1, 0, 1"},
      {"Comments", ""},
      {"CompanyName", ""},
      {"LegalTrademarks", ""},
      {"PrivateBuild", ""},
      {"SpecialBuild", ""},
  };
  for (const auto& [name, value] : strings) {
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    char* text = nullptr;
    length = 0;
    const BOOL found = VerQueryValueA(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length);
    EXPECT_TRUE(found) << name;
    EXPECT_EQ(std::string(found && length > 0 ? text : ""), value) << name;
  }
}

TEST(ResourceTest, ManifestAsksForCommonControlsDpiAwarenessAndAdministrator) {
  DWORD size = 0;
  const auto* text = static_cast<const char*>(Resource(MAKEINTRESOURCEA(1), RT_MANIFEST, &size));
  ASSERT_NE(text, nullptr);
  const std::string manifest(text, size);
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "level=\"requireAdministrator\"", ">true</dpiAware>"}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

TEST(ResourceTest, DialogInitialisationResourceListsTheTwoLabelsForTheSourceList) {
  DWORD size = 0;
  const auto* data = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(IDD_SOURCE), MAKEINTRESOURCEA(240), &size));
  ASSERT_NE(data, nullptr);
  // Entries of control id, message, length (with the zero) and text, ended by
  // a zero control id.
  std::vector<std::string> texts;
  DWORD at = 0;
  for (;;) {
    ASSERT_LE(at + 2, size);
    WORD control;
    std::memcpy(&control, data + at, 2);
    if (control == 0) break;
    ASSERT_LE(at + 8, size);
    WORD message;
    DWORD length;
    std::memcpy(&message, data + at + 2, 2);
    std::memcpy(&length, data + at + 4, 4);
    EXPECT_EQ(control, IDC_SOURCE_LIST);
    EXPECT_EQ(message, 0x0403);
    ASSERT_LE(at + 8 + length, size);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(data[at + 8 + length - 1], 0) << "text without its zero";
    texts.emplace_back(reinterpret_cast<const char*>(data + at + 8));
    at += 8 + length;
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"CPU Utilization (%)", "Memory Used (MB)"}));
}

}  // namespace
