// Splitting a full counter path into machine, object, instance and counter, and joining one again.
#include "emulation/pdh/counter_path.h"

#include <cctype>

namespace {

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;  // 9 digits cannot overflow
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// "parent/name#index" into its three parts.
void SplitInstance(std::string_view text, CounterPath& out) {
  const size_t hash = text.rfind('#');
  if (hash != std::string_view::npos && AllDigits(text.substr(hash + 1))) {
    out.index = std::stoul(std::string(text.substr(hash + 1)));
    text = text.substr(0, hash);
  }
  const size_t slash = text.find('/');
  if (slash != std::string_view::npos) {
    out.parent = std::string(text.substr(0, slash));
    text = text.substr(slash + 1);
  }
  out.instance = std::string(text);
}

}  // namespace

PathStatus ParseCounterPath(std::string_view text, CounterPath& out) {
  out = CounterPath{};
  if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    const size_t end = text.find('\\', 2);
    if (end == std::string_view::npos || end == 2) return PATH_MALFORMED;
    out.machine = std::string(text.substr(2, end - 2));
    text = text.substr(end);
  }
  if (text.empty() || text[0] != '\\') return PATH_MALFORMED;
  text = text.substr(1);

  const size_t objectEnd = text.find_first_of("(\\");
  if (objectEnd == std::string_view::npos || objectEnd == 0) return PATH_MALFORMED;
  out.object = std::string(text.substr(0, objectEnd));

  std::string_view rest = text.substr(objectEnd);
  if (rest[0] == '(') {
    const size_t close = rest.rfind(")\\");
    if (close == std::string_view::npos || close == 1) return PATH_MALFORMED;
    out.hasInstance = true;
    SplitInstance(rest.substr(1, close - 1), out);
    if (out.instance.empty()) return PATH_MALFORMED;
    rest = rest.substr(close + 1);
  }
  // rest is now "\counter".
  std::string_view counter = rest.substr(1);
  if (counter.empty() || counter.find('\\') != std::string_view::npos) return PATH_MALFORMED;
  out.counter = std::string(counter);
  return PATH_OK;
}

std::string FormatCounterPath(std::string_view machine, std::string_view object, std::string_view instance,
                              std::string_view counter) {
  std::string path;
  if (!machine.empty()) {
    path += "\\\\";
    path += machine;
  }
  path += '\\';
  path += object;
  if (!instance.empty()) {
    path += '(';
    path += instance;
    path += ')';
  }
  path += '\\';
  path += counter;
  return path;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string InstanceSafeName(std::string_view name) {
  std::string safe(name);
  for (char& c : safe) {
    if (c == '(')
      c = '[';
    else if (c == ')')
      c = ']';
    else if (c == '/' || c == '#' || c == '\\')
      c = '_';
  }
  return safe;
}
