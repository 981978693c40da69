// The one board record: both sides' pawns, the side to move and per-ply
// stacks shared by the game's moves and the search's moves.
#pragma once

#include <cstdint>

#include "board/hash.h"
#include "board/moves.h"

struct Position {
    Bitboard pawns[2];
    std::int32_t pawnCount[2];
    MoveList moveLists[MAX_PLY];
    std::uint64_t hashKeys[MAX_PLY + 1];
    ScoredMove history[MAX_PLY];
    std::int32_t epSquares[MAX_PLY + 1];
    std::int32_t side;
    std::int32_t ply;
};

void initPosition(Position& pos);
void resetPosition(Position& pos);
void setupPawns(Position& pos);

// The en-passant square after a double step of `mover` to `to`: the square
// passed over, when an enemy pawn stands directly beside the to-square.
inline int epSquareAfter(const Position& pos, int mover, Move m) {
    if (!isDoubleStep(m)) return NO_SQUARE;
    return (besideSquares(squareBit(moveTo(m))) & pos.pawns[mover ^ 1]) ? moveTo(m) - PUSH[mover]
                                                                        : NO_SQUARE;
}

// Plays a legal move of the side to move; requires ply < MAX_PLY.
inline void makeMove(Position& pos, ScoredMove m) {
    const int s = pos.side, o = s ^ 1;
    const Move code = m.move;
    if (isCapture(code)) {
        pos.pawns[o] &= ~squareBit(capturedSquare(code, s));
        --pos.pawnCount[o];
    }
    pos.pawns[s] ^= squareBit(moveFrom(code)) | squareBit(moveTo(code));
    pos.history[pos.ply] = m;
    ++pos.ply;
    pos.epSquares[pos.ply] = epSquareAfter(pos, s, code);
    pos.hashKeys[pos.ply] =
        updateHash(s, pos.hashKeys[pos.ply - 1], pos.epSquares[pos.ply - 1],
                   pos.epSquares[pos.ply], code);
    pos.side = o;
}

// Takes back the last move; requires ply >= 1.
inline void unmakeMove(Position& pos) {
    --pos.ply;
    pos.side ^= 1;
    const int s = pos.side;
    const Move code = pos.history[pos.ply].move;
    pos.pawns[s] ^= squareBit(moveFrom(code)) | squareBit(moveTo(code));
    if (isCapture(code)) {
        pos.pawns[s ^ 1] |= squareBit(capturedSquare(code, s));
        ++pos.pawnCount[s ^ 1];
    }
}

// True when `s` has a pawn two steps from promotion whose square ahead is
// empty.
inline bool hasRunnerInThree(const Position& pos, int s) {
    Bitboard empty = ~(pos.pawns[WHITE] | pos.pawns[BLACK]);
    if (s == WHITE)
        return (pos.pawns[WHITE] & rankMask(LAST_BUT_TWO_RANK[WHITE]) &
                ((empty & rankMask(LAST_BUT_ONE_RANK[WHITE])) >> 8)) != 0;
    return (pos.pawns[BLACK] & rankMask(LAST_BUT_TWO_RANK[BLACK]) &
            ((empty & rankMask(LAST_BUT_ONE_RANK[BLACK])) << 8)) != 0;
}

void printBoard(const Position& pos);
