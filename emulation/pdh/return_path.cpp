// Placing the browser's chosen path(s) into the caller's buffer, within its length.
#include "emulation/pdh/return_path.h"

#include <cstring>

PlaceStatus PlaceReturnPath(char* buffer, size_t capacity, size_t& used, std::string_view path, bool list) {
  const size_t start = list ? used : 0;
  const size_t needed = start + path.size() + (list ? 2 : 1);
  if (buffer == nullptr || needed > capacity) return PLACE_TOO_SMALL;
  std::memcpy(buffer + start, path.data(), path.size());
  buffer[start + path.size()] = '\0';
  if (list) {
    buffer[start + path.size() + 1] = '\0';
    used = start + path.size() + 1;
  }
  return PLACE_OK;
}
