// The about box: everything it shows is in its template, and a note when the
// LEDs are only the virtual port's or on a USB output; OK ends it.
#include "app/about_dialog_win.h"

#include "app/resources/resource_ids.h"
#include "port/port_io_driver.h"

namespace {

// The program cannot tell a real port from the virtual one, but it knows
// which library it found: a user who wired LEDs learns here why they stay
// dark.
constexpr char kVirtualPortNote[] = "Virtual port in use: no real LEDs are driven.";
// The free line above OK, in dialog units: left, top, right, bottom.
constexpr RECT kNotePlace = {7, 145, 220, 154};

std::string outputName;

// The note the box shows: the virtual port's, or the USB output's name;
// empty for a real parallel port.
std::string NoteText() {
  if (!outputName.empty()) return "LEDs: " + outputName;
  return PortIoLibraryInUse() == kPortIoVirtual ? kVirtualPortNote : "";
}

void AddOutputNote(HWND dialog) {
  const std::string text = NoteText();
  if (text.empty()) return;
  RECT place = kNotePlace;
  MapDialogRect(dialog, &place);
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
  HWND note = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATIC_TEXT)), instance, nullptr);
  if (note != nullptr) SendMessageA(note, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
}

}  // namespace

void SetAboutOutputName(const std::string& name) { outputName = name; }

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      AddOutputNote(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) != IDC_ABOUT_OK) return FALSE;  // IDCANCEL changes nothing
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
