// Adjudication of the game's end: a win by reaching the last rank or by
// taking the last enemy pawn, a draw when the side to move cannot move.
#pragma once

#include "protocol/engine.h"

// Announces a finished game once and makes the engine play neither side.
void checkGameEnd(Engine& engine);
