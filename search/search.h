// Alpha-beta search below the root, with principal-variation search, the
// transposition table, killers, a single-reply extension and a quiescence
// search of promotions and captures.
#pragma once

#include <cstdint>

#include "board/gameresult.h"
#include "board/position.h"
#include "search/searchcontext.h"

constexpr int MATE = 30000;
constexpr int MATE_BOUND = 29936;
constexpr int HASH_MOVE_BONUS = 20000;
constexpr int KILLER_BONUS = 300;

// The game-ending tests of every node, in order. Returns true with the score
// in `score` when one of them decides the node, `distance` plies from the
// root.
inline bool terminalScore(const Position& pos, int distance, int& score) {
    if (isGameOver(pos)) {
        score = distance - MATE;
        return true;
    }
    // The square ahead of a pawn on its last-but-one rank is the other side's
    // first rank, where no pawn ever stands: the step cannot be blocked, and
    // it wins before any reply.
    if (pos.pawns[pos.side] & rankMask(LAST_BUT_ONE_RANK[pos.side])) {
        score = MATE - 1 - distance;
        return true;
    }
    return false;
}

int search(SearchContext& ctx, Position& pos, int depth, int alpha, int beta, PvLine& pv);
int quiesce(SearchContext& ctx, Position& pos, int alpha, int beta);

// Moves the best-scored of entries i..count-1 to i (the earliest of equals)
// and returns it; null once i reaches the count.
ScoredMove* pickBest(MoveList& list, std::uint32_t i);

void storeKiller(SearchContext& ctx, std::uint32_t distance, ScoredMove move);
bool isKiller(const SearchContext& ctx, std::uint32_t distance, ScoredMove move);
