// The state of one search: killers, table, counters, limits and the clock.
#pragma once

#include <cstdint>

#include "board/moves.h"
#include "protocol/clock.h"
#include "search/transposition.h"

constexpr int KILLER_PLIES = 32;

struct SearchContext {
    ScoredMove killers[KILLER_PLIES][2];
    TranspositionTable* tt;
    std::uint64_t nodes;
    std::uint64_t ttHits;
    std::int32_t rootPly;
    bool depthLimited;
    std::int32_t maxDepth;
    bool timeLimited;
    Clock* clock;
    std::int32_t startUsed;
    std::int32_t budget;
    bool abort;
    bool quiet;  // no thinking output (the developer tool's benchmark)
    // The child line of the node at each ply: kept here rather than on the
    // call stack so that a node does not build a fresh 31-slot line.
    PvLine childLines[MAX_PLY + 1];
};

void initSearchContext(SearchContext& context);
