// Move-path enumeration for testing move generation: the number of leaves of
// all move sequences of a given length.
#pragma once

#include <cstdint>

#include "board/gameresult.h"
#include "board/position.h"

// Number of moves of the side to move, counted from the destination sets
// without building a list; 0 when the game is over.
int countMoves(const Position& pos);

// Leaves at `depth` plies below `pos`; requires pos.ply + depth <= MAX_PLY.
std::uint64_t perft(Position& pos, int depth);
