// Select Data Source: the legacy source kind of one LED, when pdh.dll is absent.
#pragma once

#include <windows.h>

// Run modally with the LED index (0..7) as the creation parameter; ends with
// the selected entry's index, which is the SourceKind (0 CPU, 1 MEM), or -1
// when no entry is selected.
INT_PTR CALLBACK SourceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The list's entries in the order they are added; with the list sorted the
// two texts keep this order, so an entry's index is its SourceKind. The
// memory entry differs on purpose from the configuration dialog's label for
// the same kind, "Memory Used (MB)" (source_kinds.cpp).
constexpr const char* kSourceListEntries[] = {"CPU Utilization (%)", "RAM Utilization (MB)"};
