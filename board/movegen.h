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
