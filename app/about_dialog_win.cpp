// The about box: everything it shows is in its template; OK ends it.
#include "app/about_dialog_win.h"

#include "app/resources/resource_ids.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_ABOUT_OK) return FALSE;  // IDCANCEL changes nothing
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
