// Select Data Source: fills the list, selects the LED's kind, ends with the choice.
#include "app/source_dialog_win.h"

#include "app/resources/resource_ids.h"
#include "sources/source_kinds.h"

namespace {

void FillSourceList(HWND dialog, int32_t index) {
  SendDlgItemMessageA(dialog, IDC_SOURCE_LIST, CB_RESETCONTENT, 0, 0);
  for (const char* entry : kSourceListEntries) {
    SendDlgItemMessageA(dialog, IDC_SOURCE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  // A kind outside the list (or a bad index, -1) leaves nothing selected.
  SendDlgItemMessageA(dialog, IDC_SOURCE_LIST, CB_SETCURSEL, static_cast<WPARAM>(GetSourceKind(index)), 0);
}

}  // namespace

INT_PTR CALLBACK SourceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      FillSourceList(dialog, static_cast<int32_t>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_SOURCE_OK) return FALSE;
      // CB_ERR is -1: no entry selected.
      EndDialog(dialog, SendDlgItemMessageA(dialog, IDC_SOURCE_LIST, CB_GETCURSEL, 0, 0));
      return TRUE;
    default:
      return FALSE;
  }
}
