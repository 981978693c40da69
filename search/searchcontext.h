// The state of one search: killers, table, counters, limits and where its
// thinking output goes.
#pragma once

#include <cstdint>

#include "board/moves.h"
#include "search/clock.h"
#include "search/transposition.h"

constexpr int KILLER_PLIES = 32;

// How far one search may go: to a depth, within a time budget, or both.
struct SearchLimits {
    bool depthLimited;
    std::int32_t maxDepth;
    bool timeLimited;
    const Clock* clock;      // read for the elapsed time; may run during the search
    std::int32_t startUsed;  // the clock's reading when the search began
    std::int32_t budget;     // centiseconds the search may use from startUsed
};

// Centiseconds the search has used so far.
inline std::int32_t searchElapsed(const SearchLimits& limits) {
    return stampDifference(readClock(*limits.clock), limits.startUsed);
}

// A search to `depth` without a clock: the benchmark's and the tests' limits.
SearchLimits depthOnly(std::int32_t depth, const Clock& clock);

// The search's one way to speak: each thinking line and the statistics line
// of a finished search, one whole line at a time, without its line end.
// A null printer keeps the search silent.
using SearchPrinter = void (*)(const char* line);

// Writes the line and a line end to standard output and flushes it: the
// engine's printer, whose lines are part of the protocol.
void printToStdout(const char* line);

struct SearchContext {
    ScoredMove killers[KILLER_PLIES][2];
    TranspositionTable* tt;
    std::uint64_t nodes;
    std::uint64_t ttHits;
    std::int32_t rootPly;
    SearchLimits limits;
    bool abort;
    SearchPrinter print;
    // The child line of the node at each ply: kept here rather than on the
    // call stack so that a node does not build a fresh 31-slot line.
    PvLine childLines[MAX_PLY + 1];
};

void initSearchContext(SearchContext& context);

// Sets the abort flag once the budget is spent; looks at the clock only
// every 4096 nodes.
void checkTime(SearchContext& context);
