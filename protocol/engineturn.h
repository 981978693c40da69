// The engine's turn: choose a move under the time control and play it.
#pragma once

#include "board/moves.h"
#include "protocol/engine.h"

// The move to play in the game position; NO_MOVE only when the side to move
// has no legal move. Expects the engine clock to be running.
ScoredMove think(Engine& engine);

// Runs the clock, thinks, plays the move and announces it with "move"; stops
// the engine playing when there is no move.
void engineTurn(Engine& engine);
