// Move-path enumeration for testing move generation: the number of leaves of
// all move sequences of a given length.
#pragma once

#include <cstdint>

#include "board/position.h"

// True when the game is over in `pos`: the side that just moved has a pawn
// on its last rank, or the side to move has no pawns. Such a position has no
// moves.
bool isGameOver(const Position& pos);

// Number of moves of the side to move, counted from the destination sets
// without building a list; 0 when the game is over.
int countMoves(const Position& pos);

// Leaves at `depth` plies below `pos`; requires pos.ply + depth <= MAX_PLY.
std::uint64_t perft(Position& pos, int depth);
