#include "protocol/engine.h"

#include "search/transposition.h"

void initEngine(Engine& engine) {
    initSearchContext(engine.searchContext);
    initPosition(engine.game);
    engine.clock = Clock{false, 0, 0};
    engine.engineSide = engine.game.side ^ 1;
    engine.leaveLoop = engine.gameOver = engine.xboardMode = engine.autoPlay = false;
    engine.boardChanged = true;
    engine.depthLimited = false;
    engine.maxDepth = 0;
    engine.timeControl = defaultTimeControl();
    engine.input = stdin;
    initBitTables();
}

void releaseEngine(Engine& engine) {
    releaseTT(engine.searchContext.tt);
    engine.searchContext.tt = nullptr;
}
