// Reading the sources for the configuration dialog, writing each row's text
// (what a screen reader says) and drawing it as a lit or dark LED with the value.
#include "app/live_values_win.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "app/resources/resource_ids.h"
#include "core/live_view.h"

namespace {

// Nothing read yet: every row shows a dash.
SourceReadings readings{};
LiveRows rows{};

constexpr COLORREF kLitColour = RGB(0x20, 0xD0, 0x20);
constexpr COLORREF kDarkColour = RGB(0x40, 0x48, 0x40);
constexpr COLORREF kRimColour = RGB(0x10, 0x10, 0x10);

int LiveValueId(int32_t index) { return IDC_CONFIG_LIVE_VALUE_1 + index; }

// Writes a row's text only when it changed, so that an unchanged row costs
// neither a message nor a repaint.
void ShowRow(HWND dialog, int32_t index) {
  const LiveRowText text = FormatLiveRow(rows[index]);
  std::array<char, sizeof(LiveRowText)> shown{};
  GetDlgItemTextA(dialog, LiveValueId(index), shown.data(), static_cast<int>(shown.size()));
  if (std::strcmp(shown.data(), text.data()) != 0) SetDlgItemTextA(dialog, LiveValueId(index), text.data());
}

// The LED: a disc as high as the text, lit or dark; none without a value.
RECT DrawLed(HDC dc, const RECT& area, const LiveRow& row, int size) {
  const int top = area.top + (area.bottom - area.top - size) / 2;
  const RECT disc{area.left + 1, top, area.left + 1 + size, top + size};
  if (row.valid) {
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCPenColor(dc, kRimColour);
    SetDCBrushColor(dc, row.lit ? kLitColour : kDarkColour);
    Ellipse(dc, disc.left, disc.top, disc.right, disc.bottom);
  }
  return RECT{disc.right + size / 2, area.top, area.right, area.bottom};
}

}  // namespace

void FollowDialogVisibility(HWND dialog, bool shown) {
  if (!shown) {
    KillTimer(dialog, kLiveValuesTimer);
    return;
  }
  SetTimer(dialog, kLiveValuesTimer, kLiveValuesPeriodMs, nullptr);
  ReadLiveValues(dialog);
}

void ReadLiveValues(HWND dialog) {
  ReadSourcesForDisplay(&readings);
  ShowLiveValues(dialog);
}

void ShowLiveValues(HWND dialog) {
  rows = ComposeLiveRows(readings);
  for (int32_t i = 0; i < kLedCount; ++i) ShowRow(dialog, i);
}

bool DrawLiveValue(HWND dialog, const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - IDC_CONFIG_LIVE_VALUE_1;
  if (item.CtlType != ODT_STATIC || !IsLedIndex(index)) return false;
  const LiveRow& row = rows[index];
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  RECT text = DrawLed(dc, item.rcItem, row, metrics.tmAscent - metrics.tmInternalLeading + 1);
  std::array<char, 16> value{};
  std::snprintf(value.data(), value.size(), row.valid ? "%ld" : "-", static_cast<long>(row.value));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, value.data(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  return true;
}

void ResetLiveValues() {
  readings = SourceReadings{};
  rows = LiveRows{};
}
