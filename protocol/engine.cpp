#include "protocol/engine.h"

#include "search/transposition.h"

void defaultTimeControl(Engine& engine) {
    engine.mps = 40;
    engine.baseSeconds = 300;
    engine.incSeconds = 0;
}

void initEngine(Engine& engine) {
    initSearchContext(engine.searchContext);
    initPosition(engine.game);
    engine.clock = Clock{false, 0, 0};
    engine.engineSide = engine.game.side ^ 1;
    engine.finished = engine.gameOver = engine.xboardMode = engine.autoPlay = false;
    engine.boardChanged = true;
    engine.depthLimited = false;
    engine.maxDepth = 0;
    defaultTimeControl(engine);
    engine.input = stdin;
    initBitTables();
}

void releaseEngine(Engine& engine) {
    releaseTT(engine.searchContext.tt);
    engine.searchContext.tt = nullptr;
}
