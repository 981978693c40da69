// The top-level record: search state, game position, clock and protocol
// settings, one for the whole run.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/position.h"
#include "protocol/timecontrol.h"
#include "search/clock.h"
#include "search/searchcontext.h"

struct Engine {
    SearchContext searchContext;
    Position game;
    Clock clock;
    std::int32_t engineSide;
    bool leaveLoop;            // "quit" or the end of input: the main loop ends
    bool gameOver;
    bool xboardMode;
    bool autoPlay;
    bool boardChanged;
    bool depthLimited;
    std::int32_t maxDepth;
    TimeControl timeControl;
    std::FILE* input;          // where commands are read from: standard input
};

void initEngine(Engine& engine);

// Releases what the run allocated: the transposition table.
void releaseEngine(Engine& engine);
