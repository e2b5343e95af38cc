// A stand-in pdh.dll for tests: the seven entry points the program binds,
// with a small set of counters whose values, failures and browser answer are
// scripted from outside the process, and a log of every call it received.
//
// Knobs (environment variables of the process that loads the library, read
// afresh at every call, so a test may change them between calls):
//
//   PIPSTACK_FAKE_PDH_VALUES       "path=value;path=value;..." - the value a
//                                  counter has at each collection. A path
//                                  named here is known even if not built in.
//   PIPSTACK_FAKE_PDH_VALUES_FILE  a text file of "path=value" lines, read at
//                                  every collection (so another process can
//                                  change values live); it wins over the above.
//   PIPSTACK_FAKE_PDH_REJECT       a path that PdhAddCounterA refuses.
//   PIPSTACK_FAKE_PDH_FAIL_OPEN    any text: PdhOpenQueryA fails.
//   PIPSTACK_FAKE_PDH_FAIL_ADD     N: the N-th PdhAddCounterA since the
//                                  library was loaded fails (1 = the first).
//   PIPSTACK_FAKE_PDH_FAIL_REMOVE  any text: PdhRemoveCounter fails.
//   PIPSTACK_FAKE_PDH_FAIL_COLLECT N: the N-th PdhCollectQueryData since the
//                                  library was loaded and every later one fail.
//   PIPSTACK_FAKE_PDH_FAIL_FORMAT  i: formatting the counter that was added
//                                  with user data i fails.
//   PIPSTACK_FAKE_PDH_BROWSE       the path the counter browser returns;
//                                  unset or empty: the user cancels.
//   PIPSTACK_FAKE_PDH_LOG          a file to which every call is appended as
//                                  one line (see Log() calls for the forms),
//                                  and "load" / "unload" when the library is
//                                  mapped and unmapped.
//
// Built-in counters (path, value, kind):
//   \Processor(_Total)\% Processor Time   5     rate
//   \Processor(0)\% Processor Time        7     rate
//   \PhysicalDisk(_Total)\% Disk Time     3     rate
//   \Memory\Available MBytes              2048  instantaneous
//   \Memory\% Committed Bytes In Use      42    instantaneous
//   \System\Processes                     60    instantaneous
// Any other path is refused at PdhAddCounterA, as the platform refuses a
// counter that does not exist.
//
// As on the platform, a counter has no value before the query has been
// collected, and a rate counter none before it has been collected twice since
// it was added: formatting it fails with PDH_CSTATUS_INVALID_DATA.
#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr PDH_STATUS Status(DWORD code) { return static_cast<PDH_STATUS>(code); }

struct KnownCounter {
  const char* path;
  LONG value;
  bool rate;
};

constexpr std::array<KnownCounter, 6> kBuiltIn = {{
    {"\\Processor(_Total)\\% Processor Time", 5, true},
    {"\\Processor(0)\\% Processor Time", 7, true},
    {"\\PhysicalDisk(_Total)\\% Disk Time", 3, true},
    {"\\Memory\\Available MBytes", 2048, false},
    {"\\Memory\\% Committed Bytes In Use", 42, false},
    {"\\System\\Processes", 60, false},
}};

// Handles are numbers from these bases, never reused, so a handle that was
// closed or removed stays invalid for good.
constexpr UINT_PTR kQueryBase = 0x5100;
constexpr UINT_PTR kCounterBase = 0x7100000;
constexpr size_t kMaxQueries = 256;
constexpr size_t kMaxCounters = 8192;

struct Query {
  bool open;
};

struct Counter {
  bool live;
  size_t query;
  std::string path;
  DWORD_PTR user;
  bool rate;
  int collections;  // since the counter was added
  LONG value;       // as of the last collection
};

std::array<Query, kMaxQueries> queries;
std::array<Counter, kMaxCounters> counters;
size_t queryCount = 0;
size_t counterCount = 0;
long addCalls = 0;
long collectCalls = 0;

std::string Knob(const char* name) {
  char buffer[4096];
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return std::string();
  return std::string(buffer, n);
}

long NumberKnob(const char* name) {
  const std::string text = Knob(name);
  return text.empty() ? -1 : std::strtol(text.c_str(), nullptr, 10);
}

void Log(const std::string& line) {
  const std::string file = Knob("PIPSTACK_FAKE_PDH_LOG");
  if (file.empty()) return;
  HANDLE h = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

std::string Hex(UINT_PTR value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

void Logged(const std::string& call, PDH_STATUS status) { Log(call + " -> " + Hex(static_cast<DWORD>(status))); }

// Finds path in "path=value" entries separated by sep; the value after the
// last '=' of a matching entry.
bool FindScripted(const std::string& entries, char sep, const std::string& path, LONG* value) {
  size_t start = 0;
  bool found = false;
  while (start <= entries.size()) {
    size_t end = entries.find(sep, start);
    if (end == std::string::npos) end = entries.size();
    std::string entry = entries.substr(start, end - start);
    if (!entry.empty() && entry.back() == '\r') entry.pop_back();
    const size_t eq = entry.rfind('=');
    if (eq != std::string::npos && lstrcmpiA(entry.substr(0, eq).c_str(), path.c_str()) == 0) {
      *value = std::strtol(entry.c_str() + eq + 1, nullptr, 10);
      found = true;  // a later entry wins, as in a script
    }
    start = end + 1;
  }
  return found;
}

std::string ReadValuesFile() {
  const std::string file = Knob("PIPSTACK_FAKE_PDH_VALUES_FILE");
  if (file.empty()) return std::string();
  std::string text;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    char chunk[1024];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    std::fclose(f);
  }
  return text;
}

const KnownCounter* BuiltIn(const std::string& path) {
  for (const KnownCounter& c : kBuiltIn) {
    if (lstrcmpiA(c.path, path.c_str()) == 0) return &c;
  }
  return nullptr;
}

// The counter's current value; false for a path nobody knows.
bool Lookup(const std::string& path, const std::string& valuesFile, LONG* value) {
  LONG scripted = 0;
  bool known = false;
  if (const KnownCounter* c = BuiltIn(path)) {
    *value = c->value;
    known = true;
  }
  if (FindScripted(Knob("PIPSTACK_FAKE_PDH_VALUES"), ';', path, &scripted)) {
    *value = scripted;
    known = true;
  }
  if (FindScripted(valuesFile, '\n', path, &scripted)) {
    *value = scripted;
    known = true;
  }
  return known;
}

Query* FindQuery(PDH_HQUERY handle, size_t* index) {
  const UINT_PTR n = reinterpret_cast<UINT_PTR>(handle) - kQueryBase;
  if (reinterpret_cast<UINT_PTR>(handle) < kQueryBase || n >= queryCount || !queries[n].open) return nullptr;
  if (index != nullptr) *index = n;
  return &queries[n];
}

Counter* FindCounter(PDH_HCOUNTER handle) {
  const UINT_PTR n = reinterpret_cast<UINT_PTR>(handle) - kCounterBase;
  if (reinterpret_cast<UINT_PTR>(handle) < kCounterBase || n >= counterCount || !counters[n].live) return nullptr;
  return &counters[n];
}

std::string Text(const char* text) { return text == nullptr ? std::string("null") : std::string(text); }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("load");
  if (reason == DLL_PROCESS_DETACH) Log("unload");
  return TRUE;
}

PDH_STATUS WINAPI PdhOpenQueryA(LPCSTR szDataSource, DWORD_PTR dwUserData, PDH_HQUERY* phQuery) {
  PDH_STATUS status = ERROR_SUCCESS;
  if (phQuery == nullptr) {
    status = Status(PDH_INVALID_ARGUMENT);
  } else if (szDataSource != nullptr) {
    status = Status(PDH_INVALID_DATASOURCE);  // only live data here
  } else if (!Knob("PIPSTACK_FAKE_PDH_FAIL_OPEN").empty() || queryCount == kMaxQueries) {
    status = Status(PDH_MEMORY_ALLOCATION_FAILURE);
  } else {
    queries[queryCount].open = true;
    *phQuery = reinterpret_cast<PDH_HQUERY>(kQueryBase + queryCount++);
  }
  Logged("open source=" + Text(szDataSource) + " user=" + std::to_string(dwUserData), status);
  return status;
}

PDH_STATUS WINAPI PdhCloseQuery(PDH_HQUERY hQuery) {
  size_t index = 0;
  PDH_STATUS status = ERROR_SUCCESS;
  if (FindQuery(hQuery, &index) == nullptr) {
    status = Status(PDH_INVALID_HANDLE);
  } else {
    queries[index].open = false;
    for (size_t i = 0; i < counterCount; ++i) {
      if (counters[i].live && counters[i].query == index) counters[i].live = false;
    }
  }
  Logged("close", status);
  return status;
}

PDH_STATUS WINAPI PdhAddCounterA(PDH_HQUERY hQuery, LPCSTR szFullCounterPath, DWORD_PTR dwUserData,
                                 PDH_HCOUNTER* phCounter) {
  ++addCalls;
  size_t query = 0;
  LONG value = 0;
  const std::string path = Text(szFullCounterPath);
  PDH_STATUS status = ERROR_SUCCESS;
  if (szFullCounterPath == nullptr || phCounter == nullptr) {
    status = Status(PDH_INVALID_ARGUMENT);
  } else if (FindQuery(hQuery, &query) == nullptr) {
    status = Status(PDH_INVALID_HANDLE);
  } else if (addCalls == NumberKnob("PIPSTACK_FAKE_PDH_FAIL_ADD") || counterCount == kMaxCounters) {
    status = Status(PDH_MEMORY_ALLOCATION_FAILURE);
  } else if (lstrcmpiA(path.c_str(), Knob("PIPSTACK_FAKE_PDH_REJECT").c_str()) == 0 ||
             !Lookup(path, ReadValuesFile(), &value)) {
    status = Status(PDH_CSTATUS_NO_COUNTER);
  } else {
    const KnownCounter* builtIn = BuiltIn(path);
    counters[counterCount] = Counter{true, query, path, dwUserData, builtIn != nullptr && builtIn->rate, 0, 0};
    *phCounter = reinterpret_cast<PDH_HCOUNTER>(kCounterBase + counterCount++);
  }
  Logged("add path=" + path + " user=" + std::to_string(dwUserData), status);
  return status;
}

PDH_STATUS WINAPI PdhRemoveCounter(PDH_HCOUNTER hCounter) {
  Counter* counter = FindCounter(hCounter);
  PDH_STATUS status = ERROR_SUCCESS;
  if (counter == nullptr) {
    status = Status(PDH_INVALID_HANDLE);
  } else if (!Knob("PIPSTACK_FAKE_PDH_FAIL_REMOVE").empty()) {
    status = Status(PDH_INVALID_ARGUMENT);
  } else {
    counter->live = false;
  }
  Logged("remove user=" + (counter == nullptr ? std::string("none") : std::to_string(counter->user)), status);
  return status;
}

PDH_STATUS WINAPI PdhCollectQueryData(PDH_HQUERY hQuery) {
  ++collectCalls;
  size_t query = 0;
  const long failFrom = NumberKnob("PIPSTACK_FAKE_PDH_FAIL_COLLECT");
  PDH_STATUS status = ERROR_SUCCESS;
  if (FindQuery(hQuery, &query) == nullptr) {
    status = Status(PDH_INVALID_HANDLE);
  } else if (failFrom > 0 && collectCalls >= failFrom) {
    status = Status(PDH_NO_DATA);
  } else {
    const std::string valuesFile = ReadValuesFile();
    bool any = false;
    for (size_t i = 0; i < counterCount; ++i) {
      Counter& c = counters[i];
      if (!c.live || c.query != query) continue;
      any = true;
      ++c.collections;
      Lookup(c.path, valuesFile, &c.value);
    }
    if (!any) status = Status(PDH_NO_DATA);  // as the platform answers an empty query
  }
  Logged("collect", status);
  return status;
}

PDH_STATUS WINAPI PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                              PPDH_FMT_COUNTERVALUE pValue) {
  Counter* counter = FindCounter(hCounter);
  PDH_STATUS status = ERROR_SUCCESS;
  if (counter == nullptr) {
    status = Status(PDH_INVALID_HANDLE);
  } else if (pValue == nullptr || (dwFormat & (PDH_FMT_LONG | PDH_FMT_DOUBLE | PDH_FMT_LARGE)) == 0) {
    status = Status(PDH_INVALID_ARGUMENT);
  } else if (static_cast<long>(counter->user) == NumberKnob("PIPSTACK_FAKE_PDH_FAIL_FORMAT")) {
    status = Status(PDH_INVALID_DATA);
  } else if (counter->collections < (counter->rate ? 2 : 1)) {
    pValue->CStatus = PDH_CSTATUS_INVALID_DATA;
    status = Status(PDH_CSTATUS_INVALID_DATA);
  } else {
    pValue->CStatus = PDH_CSTATUS_VALID_DATA;
    if (dwFormat & PDH_FMT_LONG) pValue->longValue = counter->value;
    if (dwFormat & PDH_FMT_DOUBLE) pValue->doubleValue = counter->value;
    if (dwFormat & PDH_FMT_LARGE) pValue->largeValue = counter->value;
    if (lpdwType != nullptr) *lpdwType = counter->rate ? PERF_100NSEC_TIMER : PERF_COUNTER_RAWCOUNT;
  }
  Logged("format user=" + (counter == nullptr ? std::string("none") : std::to_string(counter->user)) +
             " format=" + Hex(dwFormat),
         status);
  return status;
}

// Records the whole configuration, then answers as scripted: a path written
// into the caller's buffer as a one-entry list, or a cancel.
PDH_STATUS WINAPI PdhBrowseCountersA(PPDH_BROWSE_DLG_CONFIG_A config) {
  if (config == nullptr) {
    Logged("browse config=null", Status(PDH_INVALID_ARGUMENT));
    return Status(PDH_INVALID_ARGUMENT);
  }
  DWORD flags = 0;
  static_assert(offsetof(PDH_BROWSE_DLG_CONFIG_A, hWndOwner) >= sizeof flags, "flag word first");
  std::memcpy(&flags, config, sizeof flags);
  const std::string answer = Knob("PIPSTACK_FAKE_PDH_BROWSE");
  const std::string initial =
      config->szReturnPathBuffer == nullptr || config->cchReturnPathLength == 0
          ? std::string("null")
          : std::string(config->szReturnPathBuffer, strnlen(config->szReturnPathBuffer, config->cchReturnPathLength));
  PDH_STATUS status = ERROR_SUCCESS;
  if (answer.empty()) {
    status = Status(PDH_DIALOG_CANCELLED);
  } else if (config->szReturnPathBuffer == nullptr || answer.size() + 2 > config->cchReturnPathLength) {
    status = Status(PDH_MORE_DATA);
  } else {
    std::memcpy(config->szReturnPathBuffer, answer.c_str(), answer.size() + 1);
    config->szReturnPathBuffer[answer.size() + 1] = '\0';
  }
  Logged("browse caption=" + Text(config->szDialogBoxCaption) + " flags=" + Hex(flags) +
             " owner=" + Hex(reinterpret_cast<UINT_PTR>(config->hWndOwner)) + " source=" + Text(config->szDataSource) +
             " cch=" + std::to_string(config->cchReturnPathLength) + " callback=" +
             (config->pCallBack == nullptr ? "null" : "set") + " callbackarg=" + std::to_string(config->dwCallBackArg) +
             " callbackstatus=" + std::to_string(config->CallBackStatus) +
             " detail=" + std::to_string(config->dwDefaultDetailLevel) + " initial=" + initial,
         status);
  return status;
}
