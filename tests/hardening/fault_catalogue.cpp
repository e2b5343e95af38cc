// Drawing faults and the outcome each must have. The call counts follow the
// program's fixed order: InitializeWinIo; one BIOS read; ECR, data and
// control read, then written; one data write per update cycle; the restoring
// writes at close. pdh.dll: one query; eight counters added at start, each
// replaced (removed, added, collected) as the settings load; one collection
// and eight formatted values per update cycle.
#include "tests/hardening/fault_catalogue.h"

#include <array>
#include <random>

namespace {

constexpr char kPortFailed[] = "Could not open parallel port!";
constexpr char kPdhFailed[] = "Could not start PDH monitor!";
constexpr char kUpdateFailed[] = "Could not update LEDs!";

constexpr int32_t kOpenReads = 3;
constexpr int32_t kOpenWrites = 3;
constexpr int32_t kStartAdds = 8;
constexpr int32_t kLoadAdds = 8;

struct Range {
  FaultLibrary library;
  const char* kind;
  int32_t first;
  int32_t last;  // beyond the calls the program makes: it keeps running
};

// Every kind with a range of N that covers its calls and a little past them.
constexpr std::array<Range, 9> kRanges = {{
    {kFaultWinIo, "init", 1, 2},
    {kFaultWinIo, "bios", 1, 2},
    {kFaultWinIo, "read", 1, kOpenReads + 1},
    {kFaultWinIo, "write", 1, 24},
    {kFaultPdh, "open", 1, 1},
    {kFaultPdh, "add", 1, kStartAdds + kLoadAdds + 2},
    {kFaultPdh, "remove", 1, 1},
    {kFaultPdh, "collect", 1, 24},
    {kFaultPdh, "format", 0, 7},
}};

}  // namespace

Outcome ExpectedOutcome(const Fault& f) {
  if (f.library == kFaultWinIo) {
    if (f.kind == "init" || f.kind == "bios") return {f.n == 1 ? kPortFailed : ""};
    if (f.kind == "read") return {f.n <= kOpenReads ? kPortFailed : ""};
    // Writes: ECR, data, control at open; a failed one makes the open write
    // back the earlier ones. Later writes are LED bytes: the update fails and
    // close down restores.
    if (f.n <= kOpenWrites) return {kPortFailed};
    return {kUpdateFailed};
  }
  if (f.kind == "open") return {kPdhFailed};
  // A counter that cannot be added at start stops the start; one refused
  // while the settings load leaves its LED dark, and the others meter on.
  if (f.kind == "add") return {f.n <= kStartAdds ? kPdhFailed : ""};
  // A counter that cannot be removed keeps its old path, which works.
  if (f.kind == "remove") return {""};
  // collect: the N-th and every later collection fail; those that only prime
  // the query do not count, so the first update cycle after them fails.
  return {kUpdateFailed};
}

std::vector<Fault> DrawFaults(uint32_t randomStart, int32_t count) {
  std::mt19937 generator(randomStart);
  std::uniform_int_distribution<size_t> pickKind(0, kRanges.size() - 1);
  std::vector<Fault> faults;
  for (int32_t i = 0; i < count; ++i) {
    const Range& r = kRanges[pickKind(generator)];
    std::uniform_int_distribution<int32_t> pickN(r.first, r.last);
    faults.push_back(Fault{r.library, r.kind, pickN(generator)});
  }
  return faults;
}

std::string FaultName(const Fault& f) {
  return std::string(f.library == kFaultWinIo ? "winio_" : "pdh_") + f.kind + "_" + std::to_string(f.n);
}
