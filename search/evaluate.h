// Static evaluation: material plus a pawn-structure term clamped to the lazy
// margin, with early exits when material alone decides against the window.
#pragma once

#include "board/position.h"

constexpr int PAWN_VALUE = 100;
constexpr int LAZY_MARGIN = 80;

extern Bitboard PASSED_MASK[2][64];
extern Bitboard SUPPORT_MASK[2][64];

void initEvalMasks();

// S[us] - S[them] of the positional scores of both sides.
int evaluatePawns(const Position& pos, int us, int them);

inline int evaluate(const Position& pos, int us, int them, int alpha, int beta) {
    int m = (pos.pawnCount[us] - pos.pawnCount[them]) * PAWN_VALUE;
    if (m - LAZY_MARGIN >= beta) return m - LAZY_MARGIN;
    if (m + LAZY_MARGIN <= alpha) return m + LAZY_MARGIN;
    int p = evaluatePawns(pos, us, them);
    if (p > LAZY_MARGIN) return m + LAZY_MARGIN;
    if (p < -LAZY_MARGIN) return m - LAZY_MARGIN;
    return m + p;
}
