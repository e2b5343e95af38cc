// Reading the sources for the configuration dialog, writing each row's text
// (what a screen reader says) and drawing it as a lit or dark LED with the value.
#include "app/live_values_win.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "app/resources/resource_ids.h"
#include "core/live_view.h"

namespace {

// Nothing read yet: every row shows a dash, as the template's text says.
SourceReadings readings{};
LiveRows rows{};
std::array<LiveRowText, kLedCount> Dashes() {
  std::array<LiveRowText, kLedCount> texts{};
  texts.fill(LiveRowText{'-'});
  return texts;
}
std::array<LiveRowText, kLedCount> shownTexts = Dashes();
// The LED's diameter, as high as a digit of the dialog's font; measured at
// the first drawing.
int ledSize = 0;

constexpr COLORREF kLitColour = RGB(0x20, 0xD0, 0x20);
constexpr COLORREF kDarkColour = RGB(0x40, 0x48, 0x40);
constexpr COLORREF kRimColour = RGB(0x10, 0x10, 0x10);

int LiveValueId(int32_t index) { return IDC_CONFIG_LIVE_VALUE_1 + index; }

// Writes a row's text only when it changed: each write repaints the row,
// which is most of what the dialog's live values cost while the meter pauses.
void ShowRow(HWND dialog, int32_t index) {
  const LiveRowText text = FormatLiveRow(rows[index]);
  if (std::strcmp(shownTexts[index].data(), text.data()) == 0) return;
  SetDlgItemTextA(dialog, LiveValueId(index), text.data());
  shownTexts[index] = text;
}

// The LED: a disc, lit or dark, vertically centred; none without a value.
void DrawLed(HDC dc, const RECT& area, const LiveRow& row) {
  if (!row.valid) return;
  const int top = area.top + (area.bottom - area.top - ledSize) / 2;
  SelectObject(dc, GetStockObject(DC_PEN));
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, kRimColour);
  SetDCBrushColor(dc, row.lit ? kLitColour : kDarkColour);
  Ellipse(dc, area.left + 1, top, area.left + 1 + ledSize, top + ledSize);
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

// The control has selected the dialog's font into the DC already.
bool DrawLiveValue(const DRAWITEMSTRUCT& item) {
  const int index = static_cast<int>(item.CtlID) - IDC_CONFIG_LIVE_VALUE_1;
  if (item.CtlType != ODT_STATIC || !IsLedIndex(index)) return false;
  HDC dc = item.hDC;
  TEXTMETRICA metrics{};
  if (ledSize == 0 && GetTextMetricsA(dc, &metrics)) ledSize = metrics.tmAscent - metrics.tmInternalLeading + 1;
  const LiveRow& row = rows[index];
  const RECT& area = item.rcItem;
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  DrawLed(dc, area, row);
  std::array<char, 16> value{};
  const int length = std::snprintf(value.data(), value.size(), row.valid ? "%ld" : "-", static_cast<long>(row.value));
  SIZE extent{};
  GetTextExtentPoint32A(dc, value.data(), length, &extent);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  const int left = area.left + 1 + ledSize + ledSize / 2;
  ExtTextOutA(dc, left, area.top + (area.bottom - area.top - extent.cy) / 2, ETO_CLIPPED, &area, value.data(),
              static_cast<UINT>(length), nullptr);
  return true;
}

void ResetLiveValues() {
  readings = SourceReadings{};
  rows = LiveRows{};
  shownTexts = Dashes();
}
