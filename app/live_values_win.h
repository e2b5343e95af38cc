// The live values of the configuration dialog: beside each LED's source, the
// value the meter would compare with the LED's window and whether it lies
// inside, read about once a second while the dialog is shown.
#pragma once

#include <windows.h>

// The dialog's timer for the readings.
constexpr UINT_PTR kLiveValuesTimer = 1;
constexpr UINT kLiveValuesPeriodMs = 1000;

// Shown: reads at once and then every period; hidden: stops reading.
void FollowDialogVisibility(HWND dialog, bool shown);
// Reads every LED's source again and shows the rows. A read that fails shows
// a dash in its row and nothing else: no box, and the meter goes on.
void ReadLiveValues(HWND dialog);
// Shows the rows again from the last readings, after a window or the
// interpolation changed.
void ShowLiveValues(HWND dialog);
// Draws one of the live value controls; false for any other control.
bool DrawLiveValue(const DRAWITEMSTRUCT& item);
// No readings and dashes shown, as at process start.
void ResetLiveValues();
