#include "protocol/mainloop.h"

#include <cstdio>
#include <cstring>

#include "board/moveinput.h"
#include "protocol/commands.h"
#include "protocol/gameend.h"
#include "search/iterate.h"

const CommandEntry COMMANDS[34] = {
    {"xboard", 1, 1, cmdXboard},     {"protover", 2, 2, cmdProtover},
    {"accepted", 2, 2, cmdIgnore},   {"rejected", 2, 2, cmdIgnore},
    {"new", 1, 1, cmdNew},           {"quit", 1, 1, cmdQuit},
    {"random", 1, 1, cmdIgnore},     {"force", 1, 1, cmdForce},
    {"go", 1, 1, cmdGo},             {"level", 4, 4, cmdLevel},
    {"sd", 2, 2, cmdSd},             {"time", 2, 2, cmdTime},
    {"otim", 2, 2, cmdIgnore},       {"?", 1, 1, cmdIgnore},
    {"ping", 2, 2, cmdPing},         {"result", 1, 99, cmdResult},
    {"setboard", 3, 7, cmdIgnore},   {"undo", 1, 1, cmdUndo},
    {"remove", 1, 1, cmdRemove},     {"hard", 1, 1, cmdIgnore},
    {"easy", 1, 1, cmdIgnore},       {"post", 1, 1, cmdIgnore},
    {"nopost", 1, 1, cmdIgnore},     {"analyze", 1, 1, cmdIgnore},
    {"exit", 1, 1, cmdIgnore},       {".", 1, 1, cmdIgnore},
    {"egtpath", 3, 3, cmdIgnore},    {"option", 2, 2, cmdIgnore},
    {"variant", 2, 2, cmdVariant},   {"perft", 2, 2, cmdIgnore},
    {"divide", 2, 2, cmdIgnore},     {"auto", 1, 1, cmdAuto},
    {"poll", 1, 1, cmdIgnore},       {"nopoll", 1, 1, cmdIgnore},
};

void appendWord(WordList& list, std::string_view text) { list.items.emplace_back(text); }

void splitWords(std::string_view text, char separator, WordList& list) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == separator) {
            appendWord(list, text.substr(start, i - start));
            start = i + 1;
        }
    }
    appendWord(list, text.substr(start));
}

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
        if (engine.boardChanged) {
            engine.boardChanged = false;
            printBoard(engine.game);
        }
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

void readCommand(Engine& engine) {
    char buffer[1024];
    if (std::fgets(buffer, sizeof buffer, engine.input) == nullptr) {
        engine.finished = true;
        return;
    }
    // A NUL byte ends the line as far as the engine reads it.
    handleLine(engine, std::string_view(buffer, std::strlen(buffer)));
}

// The move generator takes the squares of the mover's last rank to be empty,
// which holds until one of its pawns has got there and won. Moves typed after
// the result can go on from such a position, and "go" or "auto" would then
// search it; it has no move to offer.
static bool moverHasPromoted(const Position& game) {
    return (game.pawns[game.side] & rankMask(PROMOTION_RANK[game.side])) != 0;
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

int mainLoop(Engine& engine) {
    if (engine.input == stdin) std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::printf("feature done=0\n");
    std::fflush(stdout);
    while (!engine.finished) {
        if (engine.boardChanged) {
            engine.boardChanged = false;
            printBoard(engine.game);
        }
        checkGameEnd(engine);
        if (!engine.autoPlay) {
            if (!engine.xboardMode) {
                std::printf("Your move: ");
                std::fflush(stdout);
            }
            readCommand(engine);
        }
        if (engine.engineSide == engine.game.side) engineTurn(engine);
    }
    return 0;
}
