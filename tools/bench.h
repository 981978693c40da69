// A fixed set of positions searched to a fixed depth: the total node count
// is a signature of the search's behaviour, the time a measure of its speed.
#pragma once

#include <cstdint>

constexpr int BENCH_DEPTH = 10;

struct BenchResult {
    std::uint64_t nodes;
    double seconds;
};

// Searches every bench position with a fresh table; prints one line per
// position and the totals when `print` is set.
BenchResult runBench(int depth, bool print);
