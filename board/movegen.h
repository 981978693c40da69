// Move generation: every move of the side to move, set-wise, each with its
// ordering score, in a fixed order that also breaks ties in the search.
#pragma once

#include "board/position.h"

constexpr int EN_PASSANT_SCORE = 600;

constexpr int CAPTURE_SCORE[2][8] = {
    {-30000, -30000, 1000, 1200, 1400, 1600, 1800, 2000},
    {2000, 1800, 1600, 1400, 1200, 1000, -30000, -30000},
};

constexpr int STEP_SCORE[2][8] = {
    {-30000, -30000, 0, 200, 400, 600, 800, 10000},
    {10000, 800, 600, 400, 200, 0, -30000, -30000},
};

// EP_ATTACKERS[s][e]: the squares from which a pawn of side s captures en
// passant onto e.
extern const Bitboard (&EP_ATTACKERS)[2][64];

// The destination sets of the generators for side S with the pawns `own`
// against `enemy`, shared by the generators and by perft's bulk count so
// that both read the moves off the same sets.

// One step of S forward.
template <int S>
constexpr Bitboard stepForward(Bitboard b) {
    return S == WHITE ? b << 8 : b >> 8;
}

// The pawns that step onto the last rank, and where they land. The square
// ahead of a pawn on its last-but-one rank is the other side's first rank,
// which no pawn ever stands on, so it needs no emptiness test.
template <int S>
constexpr Bitboard promotionSources(Bitboard own) {
    return own & rankMask(LAST_BUT_ONE_RANK[S]);
}
template <int S>
constexpr Bitboard promotionTargets(Bitboard own) {
    return stepForward<S>(promotionSources<S>(own));
}

// Captures whose to-square is the from-square plus D: 7 or 9 for White, -7
// or -9 for Black.
template <int S, int D>
constexpr Bitboard captureTargets(Bitboard own, Bitboard enemy) {
    static_assert(S == WHITE ? D == 7 || D == 9 : D == -7 || D == -9);
    if constexpr (D == 7) return ((own & RANKS_2_TO_6 & NOT_FILE_A) << 7) & enemy;
    if constexpr (D == 9) return ((own & RANKS_2_TO_6 & NOT_FILE_H) << 9) & enemy;
    if constexpr (D == -7) return ((own & RANKS_3_TO_7) >> 7) & enemy & NOT_FILE_A;
    return ((own & RANKS_3_TO_7) >> 9) & enemy & NOT_FILE_H;
}

// Single steps of the pawns that have left the start rank and are not about
// to promote.
template <int S>
constexpr Bitboard stepTargets(Bitboard own, Bitboard empty) {
    return stepForward<S>(own & RANKS_3_TO_6) & empty;
}

// Single steps from the start rank, and the double steps that go on from
// them.
template <int S>
constexpr Bitboard startStepTargets(Bitboard own, Bitboard empty) {
    return stepForward<S>(own & rankMask(START_RANK[S])) & empty;
}
template <int S>
constexpr Bitboard doubleStepTargets(Bitboard startSteps, Bitboard empty) {
    return stepForward<S>(startSteps) & empty;
}

void generatePromotionsWhite(const Position& pos, MoveList& list);
void generatePromotionsBlack(const Position& pos, MoveList& list);
void generateEnPassantWhite(const Position& pos, MoveList& list, int epSquare);
void generateEnPassantBlack(const Position& pos, MoveList& list, int epSquare);
void generateCapturesWhite(const Position& pos, MoveList& list);
void generateCapturesBlack(const Position& pos, MoveList& list);
void generateStepsWhite(const Position& pos, MoveList& list);
void generateStepsBlack(const Position& pos, MoveList& list);
void generateStartStepsWhite(const Position& pos, MoveList& list);
void generateStartStepsBlack(const Position& pos, MoveList& list);

// Fill moveLists[ply]: all moves, or only promotions, en-passant captures
// and captures.
void generateMoves(Position& pos);
void generateTactical(Position& pos);
