// The meter in the notification area: an icon drawn from the LED byte, a
// tooltip with the port and the values, and a menu that reaches the
// configuration, the tests, the about box and Quit.
#pragma once

#include <windows.h>

#include <string>

// The message the icon sends its window (the poll window) about the mouse,
// and the icon's id there.
constexpr UINT kNotifyIconMessage = WM_APP + 1;
constexpr UINT kNotifyIconId = 1;

// The icon changes with the LED byte at most this often; the values in the
// tooltip, when nothing else changed, at most this often.
constexpr DWORD kIconIntervalMs = 500;
constexpr DWORD kTipIntervalMs = 1000;

// Adds the icon for the window and from then on lets it follow the meter,
// once per pass of the poll loop. Without a notification area nothing is
// shown and the meter runs as before; the icon comes when the area does.
// connected tells whether the LEDs' device is there now (null: always); the
// tip says when it is not, at once.
using OutputConnected = bool (*)();
void StartNotifyIcon(HWND window, const std::string& portLabel, OutputConnected connected = nullptr);
// Takes the icon away; harmless when there is none. Every way out of the
// program calls it while the window still exists; only the first call waits
// for Explorer, at most a moment.
void RemoveNotifyIcon();
// True for the message Explorer broadcasts when it starts (again).
bool IsTaskbarCreated(UINT message);
// Adds the icon anew, after Explorer started again.
void AddNotifyIconAgain();
// Opens the icon's menu at the mouse; the command chosen comes to the window
// as WM_COMMAND. The icon shows the pause while the menu is open.
void ShowNotifyMenu(HWND window);
// Brings the icon up to date with the meter now: the byte, the pause (while
// the configuration dialog is shown or the menu open), the values.
// Rate-limited as above, except for a change of the pause; the change
// reaches Explorer from a thread of its own, so this never waits.
void FollowMeter();
