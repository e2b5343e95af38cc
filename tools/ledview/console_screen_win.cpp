// Console output of the LED viewer through the console API, which Windows'
// console and Wine's (it turns them into escape sequences for the terminal)
// both carry out.
#include "tools/ledview/console_screen.h"

#include <windows.h>

#include <string>

namespace {

HANDLE output = nullptr;
WORD savedAttributes = 0;
CONSOLE_CURSOR_INFO savedCursor{};
std::vector<FrameLine> painted;
ConsoleSize paintedSize{0, 0};
COORD origin{0, 0};

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

WORD Attributes(FrameStyle style, WORD base) {
  // The background stays the user's; only the foreground says the style.
  const WORD background = base & 0xF0;
  constexpr WORD kWhite = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
  switch (style) {
    case kStyleTitle:
      return background | kWhite | FOREGROUND_INTENSITY;
    case kStyleLit:
      return background | FOREGROUND_RED | FOREGROUND_INTENSITY;
    case kStyleDark:
      return background | FOREGROUND_INTENSITY;  // dark grey
    case kStyleQuiet:
      return background | kWhite;
    case kStyleText:
      break;
  }
  return base;
}

void WriteText(HANDLE handle, const std::string& text) {
  DWORD written = 0;
  WriteConsoleA(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void WriteLine(HANDLE handle, const FrameLine& line, WORD base) {
  for (const FrameSpan& span : line) {
    SetConsoleTextAttribute(handle, Attributes(span.style, base));
    WriteText(handle, span.text);
  }
  SetConsoleTextAttribute(handle, base);
}

void ClearWindow(ConsoleSize size) {
  DWORD done = 0;
  for (int row = 0; row < size.rows; ++row) {
    const COORD at{origin.X, static_cast<SHORT>(origin.Y + row)};
    FillConsoleOutputCharacterA(output, ' ', static_cast<DWORD>(size.columns), at, &done);
    FillConsoleOutputAttribute(output, savedAttributes, static_cast<DWORD>(size.columns), at, &done);
  }
}

}  // namespace

bool StartConsoleScreen() {
  output = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!IsConsole(output) || !GetConsoleScreenBufferInfo(output, &info)) {
    output = nullptr;
    return false;
  }
  savedAttributes = info.wAttributes;
  GetConsoleCursorInfo(output, &savedCursor);
  CONSOLE_CURSOR_INFO hidden = savedCursor;
  hidden.bVisible = FALSE;
  SetConsoleCursorInfo(output, &hidden);
  painted.clear();
  paintedSize = ConsoleSize{0, 0};
  return true;
}

bool ConsoleWindowSize(ConsoleSize* size) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return false;
  origin = COORD{info.srWindow.Left, info.srWindow.Top};
  *size = ConsoleSize{info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1};
  return true;
}

void PaintFrame(const std::vector<FrameLine>& frame, ConsoleSize size) {
  if (size.columns != paintedSize.columns || size.rows != paintedSize.rows) {
    ClearWindow(size);
    painted.clear();
    paintedSize = size;
  }
  if (frame == painted || size.columns <= 0 || size.rows <= 0) return;
  // The whole frame in one call, so that the console never shows half of
  // one frame and half of the next; rows a longer frame used before are
  // blanked with it.
  const size_t tall = frame.size() > painted.size() ? frame.size() : painted.size();
  const SHORT rows = static_cast<SHORT>(tall < static_cast<size_t>(size.rows) ? tall : static_cast<size_t>(size.rows));
  const SHORT columns = static_cast<SHORT>(size.columns);
  CHAR_INFO blank{};
  blank.Char.AsciiChar = ' ';
  blank.Attributes = savedAttributes;
  std::vector<CHAR_INFO> cells(static_cast<size_t>(rows) * static_cast<size_t>(columns), blank);
  for (SHORT row = 0; row < rows && static_cast<size_t>(row) < frame.size(); ++row) {
    SHORT column = 0;
    for (const FrameSpan& span : frame[static_cast<size_t>(row)]) {
      for (const char c : span.text) {
        if (column >= columns) break;
        CHAR_INFO& cell = cells[static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column)];
        cell.Char.AsciiChar = c;
        cell.Attributes = Attributes(span.style, savedAttributes);
        ++column;
      }
    }
  }
  SMALL_RECT area{origin.X, origin.Y, static_cast<SHORT>(origin.X + columns - 1),
                  static_cast<SHORT>(origin.Y + rows - 1)};
  WriteConsoleOutputA(output, cells.data(), COORD{columns, rows}, COORD{0, 0}, &area);
  painted = frame;
}

void StopConsoleScreen() {
  if (output == nullptr) return;
  SetConsoleTextAttribute(output, savedAttributes);
  // Just below the frame; when it fills the window, on its last line, where
  // the newline scrolls it up.
  const int below =
      static_cast<int>(painted.size()) < paintedSize.rows ? static_cast<int>(painted.size()) : paintedSize.rows - 1;
  SetConsoleCursorPosition(output, COORD{origin.X, static_cast<SHORT>(origin.Y + (below > 0 ? below : 0))});
  SetConsoleCursorInfo(output, &savedCursor);
  WriteText(output, "\n");
  painted.clear();
  output = nullptr;
}

bool WriteFrameOnce(const std::vector<FrameLine>& frame) {
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsConsole(handle)) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(handle, &info);
    for (const FrameLine& line : frame) {
      WriteLine(handle, line, info.wAttributes);
      WriteText(handle, "\n");
    }
    return true;
  }
  // A file or pipe gets plain text with the platform's line ends.
  std::string text;
  for (const FrameLine& line : frame) {
    for (const FrameSpan& span : line) text += span.text;
    text += "\r\n";
  }
  DWORD written = 0;
  return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
         written == text.size();
}
