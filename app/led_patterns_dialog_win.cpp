// Test Sequences: each button plays its sequence inside its own command, so
// the dialog does not respond until the sequence and its box are done.
#include "app/led_patterns_dialog_win.h"

#include "app/led_patterns.h"
#include "app/resources/resource_ids.h"

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_TEST_CLOSE:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_TEST_SHORT:
          RunShortTest();
          return TRUE;
        case IDC_TEST_FULL:
          RunFullTest();
          return TRUE;
        default:
          return FALSE;  // IDCANCEL included: the dialog is left only through Close
      }
    default:
      return FALSE;
  }
}
