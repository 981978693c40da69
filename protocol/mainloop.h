// The program's control loop: read a line, trim it, split it into words,
// run its command or play it as a move, and move for the engine in its turn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/engine.h"

// The words of one command line, in order, empty words included.
struct WordList {
    std::vector<std::string> items;
    std::uint32_t count() const { return static_cast<std::uint32_t>(items.size()); }
};

void appendWord(WordList& list, std::string_view text);
// Every separator ends a word: n separators give n + 1 words.
void splitWords(std::string_view text, char separator, WordList& list);

using CommandHandler = bool (*)(Engine&, const WordList&, const std::string&);

struct CommandEntry {
    const char* name;
    std::int32_t minWords;
    std::int32_t maxWords;  // 0: the same as minWords
    CommandHandler handler;
};

extern const CommandEntry COMMANDS[34];

int mainLoop(Engine& engine);
// Reads one line (at most 1023 bytes) and dispatches it; sets `finished` at
// the end of input.
void readCommand(Engine& engine);
// Trims a raw line as the reader does and dispatches what remains. Returns
// the dispatcher's verdict; a line that trims to nothing is ignored (true).
bool handleLine(Engine& engine, std::string_view raw);
// `line` is trimmed and not empty. Returns whether it was accepted.
bool dispatchCommand(const std::string& line, Engine& engine);
// The engine's turn in one pass of the loop.
void engineTurn(Engine& engine);
