// Median, 99th percentile and maximum of a run of intervals, as the benchmark
// programs print them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

struct IntervalStats {
  size_t count;
  double median;
  double p99;
  double max;
};

// Nearest-rank percentiles; all zero for no intervals.
IntervalStats SummariseIntervals(std::vector<double> intervals);

// One line, "count median p99 max", for the run script to read.
void PrintIntervalStats(std::FILE* out, const IntervalStats& stats);
