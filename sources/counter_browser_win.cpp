// Choosing an LED's counter in the library's counter browser.
#include "sources/counter_browser_win.h"

#include <pdh.h>

#include <array>

#include "core/meter_settings.h"
#include "sources/pdh_binding_win.h"
#include "sources/pdh_monitor.h"

namespace {

// One caption text; the LED's digit is written over the 'x' before each browse.
char browseCaption[] = "Select a value for LED x to watch.";
constexpr size_t kCaptionDigit = 23;
static_assert(sizeof browseCaption > kCaptionDigit, "digit inside the caption");

constexpr DWORD kReturnBufferSize = 260;
constexpr DWORD kDetailWizard = 400;  // PERF_DETAIL_WIZARD: every counter

}  // namespace

int32_t BrowseCounterForLed(HWND owner, int32_t index) {
  if (!IsLedIndex(index)) return kBrowseCounterBadIndex;
  browseCaption[kCaptionDigit] = static_cast<char>('1' + index);

  std::array<char, kReturnBufferSize> chosen{};
  PDH_BROWSE_DLG_CONFIG_A config{};  // every flag bit and field not set below is 0
  config.bSingleCounterPerDialog = 1;
  config.bLocalCountersOnly = 1;
  config.bDisableMachineSelection = 1;  // with the two above: flag word 0x8C
  config.hWndOwner = owner;
  config.szDataSource = nullptr;  // live data
  config.szReturnPathBuffer = chosen.data();
  config.cchReturnPathLength = kReturnBufferSize;
  config.dwDefaultDetailLevel = kDetailWizard;
  config.szDialogBoxCaption = browseCaption;

  if (BoundPdhBrowseCountersA(&config) != ERROR_SUCCESS) return kBrowseCounterNoChoice;
  // Whatever the browser wrote, the text ends inside the buffer.
  chosen.back() = '\0';
  return SetCounterPath(chosen.data(), index);
}
