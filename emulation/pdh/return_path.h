// Placing the browser's chosen path(s) into the caller's buffer, within its length.
#pragma once

#include <cstddef>
#include <string_view>

enum PlaceStatus {
  PLACE_OK = 0,
  PLACE_TOO_SMALL = 1,  // nothing was written
};

// One path: "path\0". A list (several counters per dialog): the path is appended
// after the `used` characters of the entries so far and the list closed with a
// second zero; `used` then counts the new entry too.
PlaceStatus PlaceReturnPath(char* buffer, size_t capacity, size_t& used, std::string_view path, bool list);
