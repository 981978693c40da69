// The exact solver: proves whether a position is won, drawn or lost for the
// side to move under perfect play by both sides. A game of pawn chess ends
// within 96 moves of any position (each pawn makes at most six), so an
// exhaustive search over the three values ends; what makes it fast is a
// table of proven bounds shared by both orientations of the board, null
// windows around the draw, and early-ending rules that are exact.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "board/position.h"
#include "tools/solvetable.h"

// The early-ending rules, each exact: the value they give is the value of
// the position.

// The side to move has a pawn on its last-but-one rank: it steps to the last
// rank (the square ahead is the other side's first rank, which no pawn ever
// stands on) and wins at once.
bool promotesNext(const Position& pos);

// The other side has a pawn on its last-but-one rank and the side to move
// has none: whatever it plays, that pawn promotes next. Nothing can take it,
// since a pawn attacking it would stand on its own first rank, and the
// other side, with that pawn free to step, always has a move. So the side
// to move loses, unless it has no move at all (a draw).
bool losesToPromotion(const Position& pos);

// A runner: a pawn of the side to move that walks to its last rank in k
// moves while nothing can stop it, the other side cannot promote within its
// k - 1 replies, and the other side always has a move (else the game is a
// draw by a blocked side, not a win). Returns k (2 to 6), or 0 when no pawn
// of the side to move is sure to make it this way. The conditions are
// sufficient, not necessary: 0 says nothing about the value.
//  - the squares ahead of the pawn on its file are empty;
//  - no enemy pawn can ever stand beside and ahead of it: an enemy pawn d
//    files away needs d - 1 captures to reach a neighbouring file, losing a
//    rank with each, so it must then be no further up than the runner is now;
//  - every enemy pawn needs at least k moves to promote (a double step
//    counted as one);
//  - some enemy pawn has its next k - 1 squares empty, so it can step at
//    each reply: the runner's side moves nothing else and no enemy pawn
//    enters that file, since an enemy pawn changes file only by capturing.
int runnerMoves(const Position& pos);

struct SolveOptions {
    int threads = 1;
    // The rules above and the search's table tricks, each of which can be
    // switched off to measure it or to check the others.
    bool runner = true;
    bool againstPromotion = true;
    bool mirror = true;
    bool enhancedCutoffs = true;
};

// Where a long solve stands, for a progress line.
struct SolveProgress {
    std::uint64_t nodes = 0;
    double seconds = 0;
    const char* phase = "";  // what the first thread is proving
    int rootMove = 0;        // its root move in hand, from 1
    int rootMoves = 0;
    int lowerBound = LOSS;   // proven so far: the value lies in [lower, upper]
    int upperBound = WIN;
};

struct SolveResult {
    int value = DRAW;
    Move best = NO_MOVE;  // NO_MOVE when the game has ended or no move is left
    std::uint64_t nodes = 0;
    double seconds = 0;
};

class Solver {
public:
    Solver(SolveTable& table, const SolveOptions& options);

    // The value of `pos` for its side to move. A finished game (isGameOver)
    // is a loss; a side to move with pawns and no move, a draw. `progress`,
    // when set, is called about every `interval` seconds during the solve.
    SolveResult solve(const Position& pos,
                      const std::function<void(const SolveProgress&)>& progress = {},
                      double interval = 2.0);

private:
    SolveTable& table_;
    SolveOptions options_;
};

// "win", "draw" or "loss".
const char* valueName(int value);
