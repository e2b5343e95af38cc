// The configuration dialog's procedure: refreshes, the command table and the
// applies that store each edit at once.
#include "app/config_dialog_win.h"

#include <array>

#include "app/about_dialog_win.h"
#include "app/background_window_win.h"
#include "app/led_patterns_dialog_win.h"
#include "app/live_values_win.h"
#include "app/resources/resource_ids.h"
#include "app/source_dialog_win.h"
#include "core/meter_settings.h"
#include "core/poll_loop_win.h"
#include "core/text_number.h"
#include "sources/counter_browser_win.h"
#include "sources/pdh_monitor.h"
#include "sources/source_dispatch.h"
#include "sources/source_kinds.h"

namespace {

// Set while the dialog writes its own controls (a refresh) or stores the
// options, so that the notifications those writes raise are not read back
// as edits.
bool dialogBusy = false;

int FloorEditId(int32_t index) { return IDC_CONFIG_FLOOR_1 + index; }
int CeilingEditId(int32_t index) { return IDC_CONFIG_CEILING_1 + index; }
int SourceLabelId(int32_t index) { return IDC_CONFIG_SOURCE_LABEL_1 + index; }

int32_t ReadEditNumber(HWND dialog, int id) {
  std::array<char, kEditTextLimit + 1> text{};
  GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
  return ParseDecimal(text.data());
}

void ShowNumber(HWND dialog, int id, int32_t value) {
  std::array<char, 16> text{};
  wsprintfA(text.data(), "%d", static_cast<int>(value));
  SetDlgItemTextA(dialog, id, text.data());
}

HINSTANCE InstanceOf(HWND window) { return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)); }

// Every LED's window as its two edits show it now, whichever edit changed.
void ApplyRanges(HWND dialog) {
  for (int32_t i = 0; i < kLedCount; ++i) {
    SetLedRange(i, ReadEditNumber(dialog, FloorEditId(i)), ReadEditNumber(dialog, CeilingEditId(i)));
  }
}

void ApplyOptions(HWND dialog) {
  const int32_t writeDelay = ReadEditNumber(dialog, IDC_CONFIG_WRITE_DELAY);
  const auto selected =
      static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_CONFIG_INTERPOLATION_LED, CB_GETCURSEL, 0, 0));
  const bool ticked = IsDlgButtonChecked(dialog, IDC_CONFIG_INTERPOLATE) == BST_CHECKED;
  if (dialogBusy) return;
  dialogBusy = true;
  // A delay of 0 or less is refused and the old one kept; the interpolation
  // choice is stored all the same.
  SetMeterOptions(ticked ? selected : kInterpolationOff, writeDelay);
  dialogBusy = false;
  // The interpolation decides which reading each row compares.
  ShowLiveValues(dialog);
}

void ChooseSource(HWND dialog, int32_t index) {
  if (IsPdhAvailable()) {
    BrowseCounterForLed(dialog, index);
  } else {
    const INT_PTR kind = DialogBoxParamA(InstanceOf(dialog), MAKEINTRESOURCEA(IDD_SOURCE), dialog, SourceDialogProc,
                                         static_cast<LPARAM>(index));
    // Only a kind the list offers is stored: nothing selected (-1) or a
    // dialog that could not be shown (0 or -1) leaves the LED's kind alone.
    if (kind == kSourceCpu || kind == kSourceMem) SetSourceKind(index, static_cast<int32_t>(kind));
  }
  RefreshConfigDialog(dialog);
  ReadLiveValues(dialog);
}

void HideDialog(HWND dialog) {
  SetConfigVisible(false);
  ShowWindow(dialog, SW_HIDE);
}

struct OwnedSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindShownOwned(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// The modal window that takes the user's input over the dialog: each modal
// window disables its owner, so the innermost is the one left enabled.
HWND FrontModal(HWND dialog) {
  HWND front = dialog;
  while (!IsWindowEnabled(front)) {
    OwnedSearch search{front, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindShownOwned, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) break;
    front = search.found;
  }
  return front;
}

// The icon's menu presses these buttons even while a modal window of the
// dialog is open (the tests, the about box, a source choice, the counter
// browser), which the dialog's own buttons, disabled then, never could: the
// open one comes to the front rather than a second loop beside it.
void RunModal(HWND dialog, int templateId, DLGPROC procedure) {
  if (!IsWindowEnabled(dialog)) {
    SetForegroundWindow(FrontModal(dialog));
    return;
  }
  DialogBoxParamA(InstanceOf(dialog), MAKEINTRESOURCEA(templateId), dialog, procedure, 0);
}

BOOL OnCommand(HWND dialog, int id, int notification) {
  if (id >= IDC_CONFIG_FLOOR_1 && id <= IDC_CONFIG_CEILING_8) {
    if (notification != EN_CHANGE || dialogBusy) return FALSE;
    ApplyRanges(dialog);
    ShowLiveValues(dialog);
    return TRUE;
  }
  if (id >= IDC_CONFIG_SOURCE_BUTTON_1 && id <= IDC_CONFIG_SOURCE_BUTTON_8) {
    ChooseSource(dialog, id - IDC_CONFIG_SOURCE_BUTTON_1);
    return TRUE;
  }
  switch (id) {
    case IDC_CONFIG_CLOSE:
      HideDialog(dialog);
      return TRUE;
    case IDC_CONFIG_QUIT:
      HideDialog(dialog);
      DestroyPollWindow();
      return TRUE;
    case IDC_CONFIG_WRITE_DELAY:
    case IDC_CONFIG_INTERPOLATE:
      ApplyOptions(dialog);
      return TRUE;
    case IDC_CONFIG_INTERPOLATION_LED:
      if (notification != CBN_SELCHANGE || dialogBusy) return FALSE;
      ApplyOptions(dialog);
      return TRUE;
    case IDC_CONFIG_METER_TESTS:
      RunModal(dialog, IDD_TEST, TestDialogProc);
      return TRUE;
    case IDC_CONFIG_ABOUT:
      RunModal(dialog, IDD_ABOUT, AboutDialogProc);
      return TRUE;
    default:
      return FALSE;  // the source labels, IDOK and IDCANCEL among them
  }
}

void InitialiseDialog(HWND dialog) {
  RefreshConfigDialog(dialog);
  // Filled after the first refresh, so the list gets its selection from the
  // refresh that runs when the dialog is shown.
  SendDlgItemMessageA(dialog, IDC_CONFIG_INTERPOLATION_LED, CB_RESETCONTENT, 0, 0);
  for (const char* number : {"1", "2", "3", "4", "5", "6", "7", "8"}) {
    SendDlgItemMessageA(dialog, IDC_CONFIG_INTERPOLATION_LED, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(number));
  }
}

void ShowSourceLabels(HWND dialog) {
  const bool pdh = IsPdhAvailable() != 0;
  for (int32_t i = 0; i < kLedCount; ++i) {
    const char* label = pdh ? GetCounterPath(i) : GetSourceKindLabel(i);
    SetDlgItemTextA(dialog, SourceLabelId(i), label != nullptr ? label : "");
  }
}

void ShowRanges(HWND dialog) {
  for (int32_t i = 0; i < kLedCount; ++i) {
    int32_t floor = 0;
    int32_t ceiling = 0;
    GetLedRange(i, &floor, &ceiling);
    ShowNumber(dialog, FloorEditId(i), floor);
    ShowNumber(dialog, CeilingEditId(i), ceiling);
  }
}

void ShowOptions(HWND dialog) {
  int32_t interpolationLed = kInterpolationOff;
  int32_t writeDelay = 0;
  GetMeterOptions(&interpolationLed, &writeDelay);
  ShowNumber(dialog, IDC_CONFIG_WRITE_DELAY, writeDelay);
  const bool on = interpolationLed != kInterpolationOff;
  CheckDlgButton(dialog, IDC_CONFIG_INTERPOLATE, on ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageA(dialog, IDC_CONFIG_INTERPOLATION_LED, CB_SETCURSEL, on ? interpolationLed : 0, 0);
}

}  // namespace

void RefreshConfigDialog(HWND dialog) {
  if (dialogBusy) return;
  dialogBusy = true;
  ShowSourceLabels(dialog);
  ShowRanges(dialog);
  ShowOptions(dialog);
  dialogBusy = false;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOVE:
    case WM_ACTIVATE:
    case WM_WINDOWPOSCHANGED:
      RefreshConfigDialog(dialog);
      return TRUE;
    case WM_SHOWWINDOW:
      RefreshConfigDialog(dialog);
      FollowDialogVisibility(dialog, wParam != FALSE);
      return TRUE;
    case WM_TIMER:
      if (wParam != kLiveValuesTimer || dialogBusy) return FALSE;
      ReadLiveValues(dialog);
      return TRUE;
    case WM_DRAWITEM:
      return DrawLiveValue(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_INITDIALOG:
      InitialiseDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}
