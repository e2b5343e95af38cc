// The counter browser: a modal dialog listing objects, counters and instances, returning the chosen path.
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

#include <string>
#include <vector>

#include "emulation/pdh/browser_ids.h"
#include "emulation/pdh/browser_value_win.h"
#include "emulation/pdh/counter_catalogue.h"
#include "emulation/pdh/counter_path.h"
#include "emulation/pdh/host_readings.h"
#include "emulation/pdh/return_path.h"

namespace {

constexpr UINT_PTR kValueTimer = 1;
constexpr UINT kValueIntervalMs = 1000;

struct Browser {
  PPDH_BROWSE_DLG_CONFIG_A config;
  std::string machinePrefix;  // "\\NAME" unless local counters only
  size_t used = 0;            // characters of the list written so far
  bool added = false;
  PDH_STATUS status = PDH_DIALOG_CANCELLED;
};

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

Browser* StateOf(HWND dialog) { return reinterpret_cast<Browser*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

LRESULT Selection(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, id == IDC_PDH_OBJECT ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
}

std::string ItemText(HWND dialog, int id, LRESULT index) {
  const bool combo = id == IDC_PDH_OBJECT;
  const LRESULT length = SendDlgItemMessageA(dialog, id, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
  if (length < 0) return std::string();
  std::vector<char> text(static_cast<size_t>(length) + 1);
  SendDlgItemMessageA(dialog, id, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// The full path of the current selection; empty when something is not chosen.
std::string SelectedPath(HWND dialog) {
  const LRESULT object = Selection(dialog, IDC_PDH_OBJECT);
  const LRESULT counter = Selection(dialog, IDC_PDH_COUNTERS);
  if (object < 0 || counter < 0) return std::string();
  std::string instance;
  if (ObjectAt(static_cast<size_t>(object)).family != InstanceFamily::None) {
    const LRESULT selected = Selection(dialog, IDC_PDH_INSTANCES);
    if (selected < 0) return std::string();
    instance = ItemText(dialog, IDC_PDH_INSTANCES, selected);
  }
  const std::string path = FormatCounterPath("", ItemText(dialog, IDC_PDH_OBJECT, object), instance,
                                             ItemText(dialog, IDC_PDH_COUNTERS, counter));
  return StateOf(dialog)->machinePrefix + path;
}

void ShowSelectedCounter(HWND dialog) {
  const LRESULT object = Selection(dialog, IDC_PDH_OBJECT);
  const LRESULT counter = Selection(dialog, IDC_PDH_COUNTERS);
  const bool chosen = object >= 0 && counter >= 0;
  const char* explain = chosen ? ObjectAt(static_cast<size_t>(object)).counters[counter].explain : "";
  SetDlgItemTextA(dialog, IDC_PDH_EXPLAIN, explain);
  const std::string path = SelectedPath(dialog);
  const bool watching = !path.empty() && WatchCounter(path);
  SetDlgItemTextA(dialog, IDC_PDH_VALUE, watching ? ReadWatchedCounter().c_str() : "");
  EnableWindow(GetDlgItem(dialog, IDOK), !path.empty());
  EnableWindow(GetDlgItem(dialog, IDC_PDH_ADD), !path.empty());
}

LRESULT FindItem(HWND dialog, int id, const std::string& text) {
  const UINT message = id == IDC_PDH_OBJECT ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT;
  return SendDlgItemMessageA(dialog, id, message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

void Select(HWND dialog, int id, LRESULT index) {
  SendDlgItemMessageA(dialog, id, id == IDC_PDH_OBJECT ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Counters and instances of the object now selected; the first of each chosen.
void FillObjectItems(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_PDH_COUNTERS, LB_RESETCONTENT, 0, 0);
  SendDlgItemMessageA(dialog, IDC_PDH_INSTANCES, LB_RESETCONTENT, 0, 0);
  const LRESULT selected = Selection(dialog, IDC_PDH_OBJECT);
  if (selected < 0) return;
  const ObjectDef& object = ObjectAt(static_cast<size_t>(selected));
  for (size_t i = 0; i < object.counterCount; ++i) {
    SendDlgItemMessageA(dialog, IDC_PDH_COUNTERS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(object.counters[i].name));
  }
  HostSnapshot snapshot;
  ReadHostSnapshot(object.counters[0].group, snapshot);
  for (const std::string& name : InstanceNames(object, snapshot)) {
    SendDlgItemMessageA(dialog, IDC_PDH_INSTANCES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  EnableWindow(GetDlgItem(dialog, IDC_PDH_INSTANCES), object.family != InstanceFamily::None);
  Select(dialog, IDC_PDH_COUNTERS, 0);
  Select(dialog, IDC_PDH_INSTANCES, 0);
}

// Starts at the caller's path when asked to and the path names something listed.
void SelectInitialPath(HWND dialog, const char* text) {
  CounterPath path;
  if (text == nullptr || ParseCounterPath(text, path) != PATH_OK) return;
  const size_t object = FindObject(path.object);
  if (object == kNoEntry) return;
  Select(dialog, IDC_PDH_OBJECT, static_cast<LRESULT>(object));
  FillObjectItems(dialog);
  const size_t counter = FindCounter(ObjectAt(object), path.counter);
  if (counter != kNoEntry) Select(dialog, IDC_PDH_COUNTERS, static_cast<LRESULT>(counter));
  const LRESULT instance = path.hasInstance ? FindItem(dialog, IDC_PDH_INSTANCES, path.instance) : LB_ERR;
  if (instance >= 0) Select(dialog, IDC_PDH_INSTANCES, instance);
}

BOOL InitBrowser(HWND dialog, Browser* browser) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(browser));
  const PDH_BROWSE_DLG_CONFIG_A& config = *browser->config;
  if (config.szDialogBoxCaption != nullptr) SetWindowTextA(dialog, config.szDialogBoxCaption);
  for (size_t i = 0; i < ObjectCount(); ++i) {
    SendDlgItemMessageA(dialog, IDC_PDH_OBJECT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ObjectAt(i).name));
  }
  Select(dialog, IDC_PDH_OBJECT, 0);
  FillObjectItems(dialog);
  if (config.bInitializePath) SelectInitialPath(dialog, config.szReturnPathBuffer);
  // Several counters per dialog are taken one by one with Add.
  ShowWindow(GetDlgItem(dialog, IDC_PDH_ADD), config.bSingleCounterPerDialog ? SW_HIDE : SW_SHOW);
  ShowSelectedCounter(dialog);
  SetTimer(dialog, kValueTimer, kValueIntervalMs, nullptr);
  return TRUE;
}

// Adds the selection to the return buffer; false when it does not fit.
bool TakeSelection(HWND dialog, Browser* browser) {
  const PDH_BROWSE_DLG_CONFIG_A& config = *browser->config;
  const bool list = !config.bSingleCounterPerDialog;
  if (PlaceReturnPath(config.szReturnPathBuffer, config.cchReturnPathLength, browser->used, SelectedPath(dialog),
                      list) != PLACE_OK) {
    browser->status = PDH_MORE_DATA;
    return false;
  }
  browser->added = true;
  browser->status = ERROR_SUCCESS;
  if (config.pCallBack != nullptr) browser->config->CallBackStatus = config.pCallBack(config.dwCallBackArg);
  return true;
}

void EndBrowser(HWND dialog, INT_PTR result) {
  KillTimer(dialog, kValueTimer);
  StopWatching();
  EndDialog(dialog, result);
}

void OnCommand(HWND dialog, WORD id, WORD code) {
  Browser* browser = StateOf(dialog);
  switch (id) {
    case IDC_PDH_OBJECT:
      if (code == CBN_SELCHANGE) {
        FillObjectItems(dialog);
        ShowSelectedCounter(dialog);
      }
      break;
    case IDC_PDH_COUNTERS:
    case IDC_PDH_INSTANCES:
      if (code == LBN_SELCHANGE) ShowSelectedCounter(dialog);
      break;
    case IDC_PDH_ADD:
      TakeSelection(dialog, browser);
      break;
    case IDOK:
      // In list mode OK closes the list; an empty list takes the selection first.
      if (browser->config->bSingleCounterPerDialog || !browser->added) TakeSelection(dialog, browser);
      EndBrowser(dialog, IDOK);
      break;
    case IDCANCEL:
      browser->status = PDH_DIALOG_CANCELLED;
      EndBrowser(dialog, IDCANCEL);
      break;
  }
}

INT_PTR CALLBACK BrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitBrowser(dialog, reinterpret_cast<Browser*>(lParam));
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_TIMER:
      SetDlgItemTextA(dialog, IDC_PDH_VALUE, ReadWatchedCounter().c_str());
      return TRUE;
  }
  return FALSE;
}

std::string MachinePrefix(const PDH_BROWSE_DLG_CONFIG_A& config) {
  if (config.bLocalCountersOnly) return std::string();
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = sizeof(name);
  if (!GetComputerNameA(name, &length)) return std::string();
  return std::string("\\\\") + name;
}

}  // namespace

PDH_FUNCTION PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A pBrowseDlgData) {
  if (pBrowseDlgData == nullptr || pBrowseDlgData->szReturnPathBuffer == nullptr ||
      pBrowseDlgData->cchReturnPathLength == 0) {
    return PDH_INVALID_ARGUMENT;
  }
  // Only live data can be browsed.
  if (pBrowseDlgData->szDataSource != nullptr) return PDH_INVALID_DATASOURCE;
  Browser browser;
  browser.config = pBrowseDlgData;
  browser.machinePrefix = MachinePrefix(*pBrowseDlgData);
  const INT_PTR result = DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(IDD_PDH_BROWSER), pBrowseDlgData->hWndOwner,
                                         BrowserProc, reinterpret_cast<LPARAM>(&browser));
  if (result == -1) return PDH_NO_DIALOG_DATA;
  return browser.status;
}
