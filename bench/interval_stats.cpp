// Nearest-rank statistics of interval runs.
#include "bench/interval_stats.h"

#include <algorithm>
#include <cmath>

namespace {

// The smallest value with at least share of the run at or below it.
double NearestRank(const std::vector<double>& sorted, double share) {
  const auto rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
  return sorted[std::max<size_t>(rank, 1) - 1];
}

}  // namespace

IntervalStats SummariseIntervals(std::vector<double> intervals) {
  if (intervals.empty()) return IntervalStats{0, 0.0, 0.0, 0.0};
  std::sort(intervals.begin(), intervals.end());
  return IntervalStats{intervals.size(), NearestRank(intervals, 0.5), NearestRank(intervals, 0.99), intervals.back()};
}

void PrintIntervalStats(std::FILE* out, const IntervalStats& stats) {
  std::fprintf(out, "%zu %.3f %.3f %.3f\n", stats.count, stats.median, stats.p99, stats.max);
  std::fflush(out);
}
