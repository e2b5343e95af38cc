// The browser's live reading of the counter it has selected, through this library's own queries.
#pragma once

#include <windows.h>

#include <string>

// Starts watching a path (stopping the previous one); false when it cannot be added.
bool WatchCounter(const std::string& path);
// A fresh collection and the text to show for it.
std::string ReadWatchedCounter();
void StopWatching();
