// The top-level record: search state, game position, clock and protocol
// settings, one for the whole run.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/position.h"
#include "protocol/clock.h"
#include "search/searchcontext.h"

struct Engine {
    SearchContext searchContext;
    Position game;
    Clock clock;
    std::int32_t engineSide;
    bool finished;
    bool gameOver;
    bool xboardMode;
    bool autoPlay;
    bool boardChanged;
    bool depthLimited;
    std::int32_t maxDepth;
    std::int32_t mps;          // moves per period; 0 or less: the whole game
    std::int32_t baseSeconds;
    std::int32_t incSeconds;
    std::FILE* input;          // where commands are read from: standard input
};

void initEngine(Engine& engine);

// Sets the time control to its default: 40 moves in 300 seconds.
void defaultTimeControl(Engine& engine);

// Releases what the run allocated: the transposition table.
void releaseEngine(Engine& engine);
