#include "protocol/mainloop.h"

#include <cstdio>
#include <cstring>

#include "board/moveinput.h"
#include "protocol/commands.h"
#include "protocol/engineturn.h"
#include "protocol/gameend.h"
#include "search/iterate.h"

namespace {

// Reads one line (at most 1023 bytes, the line end included when it fits).
// A NUL byte ends the line as far as the engine reads it.
bool readLine(std::FILE* input, std::string& line) {
    char buffer[1024];
    if (std::fgets(buffer, sizeof buffer, input) == nullptr) return false;
    line.assign(buffer, std::strlen(buffer));
    return true;
}

void printChangedBoard(Engine& engine) {
    if (engine.boardChanged) {
        engine.boardChanged = false;
        printBoard(engine.game);
    }
}

void turnIfDue(Engine& engine, const LoopWatch* watch) {
    if (engine.engineSide != engine.game.side) return;
    if (watch != nullptr && watch->beforeTurn != nullptr) watch->beforeTurn(engine);
    engineTurn(engine);
    if (watch != nullptr && watch->afterTurn != nullptr) watch->afterTurn(engine);
}

// The steps of the loop up to its next read of a line; false when the loop
// ends instead.
bool untilRead(Engine& engine, const LoopWatch* watch) {
    for (;;) {
        if (engine.leaveLoop) return false;
        printChangedBoard(engine);
        checkGameEnd(engine);
        if (!engine.autoPlay) {
            if (!engine.xboardMode) {
                std::printf("Your move: ");
                std::fflush(stdout);
            }
            return true;
        }
        turnIfDue(engine, watch);
    }
}

}  // namespace

bool dispatchCommand(const std::string& line, Engine& engine) {
    WordList words;
    splitWords(line, ' ', words);
    bool accepted = false;
    bool found = false;
    for (const CommandEntry& row : COMMANDS) {
        if (words.items[0] != row.name) continue;
        found = true;
        const std::int32_t most = row.maxWords != 0 ? row.maxWords : row.minWords;
        const auto count = static_cast<std::int32_t>(words.count());
        if (count < row.minWords || count > most) {
            std::printf("Error (wrong number of arguments, min. %d, max. %d): %s\n",
                        row.minWords, most, line.c_str());
            std::fflush(stdout);
        } else {
            accepted = row.handler(engine, words, line);
        }
        break;
    }
    if (!found) accepted = parseMove(engine.game, engine.boardChanged, line);
    if (accepted) {
        printChangedBoard(engine);
        checkGameEnd(engine);
    }
    return accepted;
}

bool handleLine(Engine& engine, std::string_view raw) {
    std::string_view line = raw;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return line.empty() || dispatchCommand(std::string(line), engine);
}


bool startLoop(Engine& engine, const LoopWatch* watch) {
    std::printf("feature done=0\n");
    std::fflush(stdout);
    // The table is ready before the first line, so that no game's first
    // move pays for it.
    prepareTable(engine.searchContext);
    return untilRead(engine, watch);
}

bool runPass(Engine& engine, const std::string_view* line, const LoopWatch* watch) {
    if (line == nullptr) {
        engine.leaveLoop = true;
    } else {
        if (watch != nullptr && watch->beforeLine != nullptr) watch->beforeLine(engine);
        const bool accepted = handleLine(engine, *line);
        if (watch != nullptr && watch->afterLine != nullptr) watch->afterLine(engine, accepted);
    }
    // Also at the end of input: a move already due is still played.
    turnIfDue(engine, watch);
    return untilRead(engine, watch);
}

int mainLoop(Engine& engine) {
    if (engine.input == stdin) std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::string line;
    for (bool more = startLoop(engine); more;) {
        if (readLine(engine.input, line)) {
            const std::string_view view(line);
            more = runPass(engine, &view);
        } else {
            more = runPass(engine, nullptr);
        }
    }
    return 0;
}
