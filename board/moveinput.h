// Moves typed by a person or sent by the interface, in coordinate notation,
// checked against the rules and played on the game position.
#pragma once

#include <string_view>

#include "board/position.h"

struct MoveFlags {
    bool capture = false;
    bool doubleStep = false;
    bool enPassant = false;
};

int squareOwner(const Position& pos, int sq);  // WHITE, BLACK or 2 (empty)
bool isEmpty(const Position& pos, int sq);
bool validateMove(const Position& pos, int from, int to, MoveFlags& flags);

// Plays the move in `line` on `game` and sets `boardChanged`, or prints
// "Error (illegal move): LINE" and leaves everything untouched.
bool parseMove(Position& game, bool& boardChanged, std::string_view line);
