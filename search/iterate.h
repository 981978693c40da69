// The root search and the iterative-deepening driver: the engine's answer
// to "what shall I play?", with its thinking output.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "search/searchcontext.h"

constexpr int ASPIRATION_MARGIN = 50;

// Creates the table when there is none, with a "#" notice when it is
// smaller than the full size; false when not even a small one fits.
bool ensureTable(SearchContext& ctx);

// Creates the table and touches every page of it, so that the first search
// of a game pays neither for the mapping nor for the page faults: the
// engine does this before it reads its first line, before any clock runs.
void prepareTable(SearchContext& ctx);

// Deepens the search of `pos` until a limit or a stop rule ends it and
// leaves the move to play in `bestMove`: NO_MOVE only when the side to move
// has no legal move. Creates the table on first use.
void iterate(SearchContext& ctx, Position& pos, const SearchLimits& limits, ScoredMove& bestMove);

int searchRoot(SearchContext& ctx, Position& pos, int depth, int alpha, int beta,
               ScoredMove previousBest, PvLine& line);

void extendPv(SearchContext& ctx, Position& pos, PvLine& line);
