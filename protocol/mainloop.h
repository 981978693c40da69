// The program's control loop: read a line, trim it, split it into words,
// run its command or play it as a move, and move for the engine in its turn.
#pragma once

#include <string>
#include <string_view>

#include "protocol/engine.h"

// Lets the fuzzer and the tests look at the engine between the steps of a
// pass. Any hook may be null.
struct LoopWatch {
    void (*beforeLine)(Engine&);
    void (*afterLine)(Engine&, bool accepted);
    void (*beforeTurn)(Engine&);
    void (*afterTurn)(Engine&);
};

// Announces the protocol's start ("feature done=0") and runs the loop up to
// its first read of a line. Returns false when the loop has already ended.
bool startLoop(Engine& engine, const LoopWatch* watch = nullptr);

// One pass of the loop: the line just read (null at the end of input), the
// engine's turn when it is due, and everything up to the next read: a
// changed board, the game-end check and the console prompt; in auto play
// the engine's moves follow one another within the pass. Returns false once
// the loop has ended ("quit", or the end of input).
bool runPass(Engine& engine, const std::string_view* line, const LoopWatch* watch = nullptr);

// Reads lines from `engine.input` until the loop ends.
int mainLoop(Engine& engine);

// Trims a raw line as the reader does and dispatches what remains. Returns
// the dispatcher's verdict; a line that trims to nothing is ignored (true).
bool handleLine(Engine& engine, std::string_view raw);
// `line` is trimmed and not empty. Returns whether it was accepted.
bool dispatchCommand(const std::string& line, Engine& engine);
