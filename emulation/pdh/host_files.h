// Reading the host's /proc and /sys through Wine's Z: drive, where no Win32 call gives a figure.
#pragma once

#include <string>
#include <vector>

// The whole of a small text file; false when it cannot be opened or read.
bool ReadHostFile(const std::string& path, std::string& text);

// Names in a folder matching a pattern ("Z:\\proc\\*"), without "." and "..".
std::vector<std::string> ListHostFolder(const std::string& pattern);

bool HostPathExists(const std::string& path);
