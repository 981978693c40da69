// Pawn-only positions in Forsyth-Edwards Notation, for the developer tool
// and the tests: "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1".
#pragma once

#include <string>
#include <string_view>

#include "board/position.h"

// Sets `pos` up at ply 0 with the side to move, en-passant square and key of
// the text. The castling field and the two counters may be omitted. On a
// malformed text returns false with the reason in `error`, leaving `pos`
// unchanged. The hash keys must have been generated (initPosition).
bool setPositionFromFen(Position& pos, std::string_view fen, std::string& error);

std::string positionToFen(const Position& pos);
