#include "protocol/gameend.h"

#include <cstdio>

#include "board/movegen.h"
#include "board/perft.h"

static void announce(Engine& engine, const char* result) {
    std::fputs(result, stdout);
    std::fflush(stdout);
    engine.gameOver = true;
    engine.engineSide = NO_SIDE;
    engine.autoPlay = false;
}

void checkGameEnd(Engine& engine) {
    if (engine.gameOver) return;
    Position& game = engine.game;
    const int s = game.side, o = s ^ 1;
    if ((game.pawns[o] & rankMask(PROMOTION_RANK[o])) || game.pawns[s] == 0) {
        announce(engine, s == BLACK ? "1-0 {White mates}\n" : "0-1 {Black mates}\n");
        return;
    }
    // The last ply of the stacks has no move list of its own; no legal game
    // gets there, and the moves are counted without one.
    int moves;
    if (game.ply < MAX_PLY) {
        generateMoves(game);
        moves = static_cast<int>(game.moveLists[game.ply].count);
    } else {
        moves = countMoves(game);
    }
    if (moves == 0) announce(engine, "1/2-1/2 {Draw}\n");
}
