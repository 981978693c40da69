#include "protocol/gameend.h"

#include <cstdio>

#include "board/gameresult.h"

static void announce(Engine& engine, const char* result) {
    std::fputs(result, stdout);
    std::fflush(stdout);
    engine.gameOver = true;
    engine.engineSide = NO_SIDE;
    engine.autoPlay = false;
}

void checkGameEnd(Engine& engine) {
    if (engine.gameOver) return;
    switch (gameResult(engine.game)) {
        case GameResult::WHITE_WINS: announce(engine, "1-0 {White mates}\n"); break;
        case GameResult::BLACK_WINS: announce(engine, "0-1 {Black mates}\n"); break;
        case GameResult::DRAW: announce(engine, "1/2-1/2 {Draw}\n"); break;
        case GameResult::ONGOING: break;
    }
}
