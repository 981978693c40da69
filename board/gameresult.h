// The rules that end a game of pawn chess, in one place: a side wins by
// bringing a pawn to its last rank or by leaving the other side without
// pawns; a side to move that has pawns but no legal move draws.
#pragma once

#include <cstdint>

#include "board/position.h"

enum class GameResult : std::uint8_t { ONGOING, WHITE_WINS, BLACK_WINS, DRAW };

// True when `pawns` of `side` include one on its last rank.
constexpr bool hasReachedLastRank(Bitboard pawns, int side) {
    return (pawns & rankMask(PROMOTION_RANK[side])) != 0;
}

// True when the side that just moved has won, for `toMove` to move with the
// pawns `own` against the other side's `enemy`: the mover has a pawn on its
// last rank, or `toMove` has no pawns left. Such a position has no moves.
// Taking the sets rather than a position lets perft ask it of a position it
// has not made.
constexpr bool isGameWon(int toMove, Bitboard own, Bitboard enemy) {
    if (hasReachedLastRank(enemy, toMove ^ 1)) return true;
    return own == 0;
}

inline bool isGameOver(const Position& pos) {
    return isGameWon(pos.side, pos.pawns[pos.side], pos.pawns[pos.side ^ 1]);
}

// The state of the game in `pos`: won by the side that just moved when
// isGameOver holds, drawn when the side to move has pawns but no legal move,
// otherwise going on. The moves are counted without a move list, so this
// works at ply MAX_PLY as well.
//
// A position in which the side to move has a pawn on its own last rank is
// one that only moves played after a finished game lead to; it is judged by
// the rules above like any other, so callers that must not go on from it
// test hasReachedLastRank(pos.pawns[pos.side], pos.side) themselves.
GameResult gameResult(const Position& pos);
