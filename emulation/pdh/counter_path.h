// Splitting a full counter path into machine, object, instance and counter, and joining one again.
#pragma once

#include <string>
#include <string_view>

struct CounterPath {
  std::string machine;  // without the leading "\\"; empty for the local machine
  std::string object;
  std::string parent;       // "parent/instance" form; empty when absent
  std::string instance;     // empty when the path names no instance
  unsigned long index = 0;  // "#n" suffix of the instance
  bool hasInstance = false;
  std::string counter;
};

enum PathStatus {
  PATH_OK = 0,
  PATH_MALFORMED = 1,
};

// Accepts "[\\machine]\object[(instance)]\counter"; the instance may be
// "parent/name#index". An instance name may itself hold parentheses (network
// adapters often do), so the instance ends at the last ")\" of the path.
PathStatus ParseCounterPath(std::string_view text, CounterPath& out);

// The canonical text of a path; machine and instance are left out when empty.
std::string FormatCounterPath(std::string_view machine, std::string_view object, std::string_view instance,
                              std::string_view counter);

// Case-insensitive comparison in the ASCII range, as counter names are matched.
bool SameName(std::string_view a, std::string_view b);

// An instance name as a path can carry it: the characters that delimit a path's
// instance part are replaced, "(" and ")" by "[" and "]", "/", "#" and "\" by "_".
std::string InstanceSafeName(std::string_view name);
