// The root search and the iterative-deepening driver: the engine's answer
// to "what shall I play?", with its thinking output.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "search/searchcontext.h"

constexpr int ASPIRATION_MARGIN = 50;

// Deepens the search of `pos` until a limit or a stop rule ends it and
// leaves the move to play in `bestMove`: NO_MOVE only when the side to move
// has no legal move. Creates the table on first use.
void iterate(SearchContext& ctx, Position& pos, const SearchLimits& limits, ScoredMove& bestMove);

int searchRoot(SearchContext& ctx, Position& pos, int depth, int alpha, int beta,
               ScoredMove previousBest, PvLine& line);

void extendPv(SearchContext& ctx, Position& pos, PvLine& line);
