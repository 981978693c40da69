#include "protocol/engineturn.h"

#include <cstdio>

#include "board/gameresult.h"
#include "search/iterate.h"

ScoredMove think(Engine& engine) {
    const std::int32_t usedNow = readClock(engine.clock);
    const std::int32_t budget = allocateTime(engine.timeControl, engine.game.ply, usedNow).budget;
    const SearchLimits limits{engine.depthLimited, engine.maxDepth, true, &engine.clock, usedNow, budget};
    ScoredMove result{};
    iterate(engine.searchContext, engine.game, limits, result);
    return result;
}

// The move generator takes the squares of the mover's last rank to be empty,
// which holds until one of its pawns has got there and won. Moves typed after
// the result can go on from such a position, and "go" or "auto" would then
// search it; it has no move to offer.
static bool moverHasPromoted(const Position& game) {
    return hasReachedLastRank(game.pawns[game.side], game.side);
}

void engineTurn(Engine& engine) {
    startClock(engine.clock);
    ScoredMove move = moverHasPromoted(engine.game) ? ScoredMove{} : think(engine);
    if (isNoMove(move.move)) {
        // Only a position without a legal move gives no move: the engine
        // stops playing instead of announcing a move that does not exist.
        engine.engineSide = NO_SIDE;
        engine.autoPlay = false;
    } else {
        makeMove(engine.game, move);
        engine.boardChanged = true;
        char text[5];
        moveText(move.move, text);
        std::printf("move %s\n", text);
        std::fflush(stdout);
        if (engine.autoPlay) engine.engineSide ^= 1;
    }
    stopClock(engine.clock);
}
