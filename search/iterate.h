// The root search and the iterative-deepening driver: the engine's answer
// to "what shall I play?", with its thinking output.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "search/searchcontext.h"

struct Engine;

constexpr int ASPIRATION_MARGIN = 50;

// The move to play in the game position; NO_MOVE only when the side to move
// has no legal move. Expects the engine clock to be running.
ScoredMove think(Engine& engine);

void iterate(SearchContext& ctx, Position& pos, bool depthLimited, int maxDepth,
             bool timeLimited, Clock& clock, std::int32_t startUsed,
             std::int32_t budget, ScoredMove& bestMove);

int searchRoot(SearchContext& ctx, Position& pos, int depth, int alpha, int beta,
               ScoredMove previousBest, PvLine& line);

void extendPv(SearchContext& ctx, Position& pos, PvLine& line);
void printPv(const PvLine& line);
