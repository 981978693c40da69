#include "protocol/commands.h"

#include <cstdio>
#include <limits>

std::int32_t parseNumber(std::string_view word) {
    std::size_t i = 0;
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < word.size() && isSpace(word[i])) ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    std::int64_t value = 0;
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > limit) value = limit;  // saturated; further digits change nothing
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

namespace {

const CommandEntry COMMAND_TABLE[] = {
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

}  // namespace

const std::span<const CommandEntry> COMMANDS{COMMAND_TABLE};

static void reply(const char* format, const std::string& text) {
    std::printf(format, text.c_str());
    std::fflush(stdout);
}

bool cmdXboard(Engine& engine, const WordList&, const std::string&) {
    std::printf("\n");
    std::fflush(stdout);
    engine.xboardMode = true;
    return true;
}

bool cmdProtover(Engine&, const WordList&, const std::string&) {
    std::printf(
        "feature ping=1\n"
        "feature setboard=0\n"
        "feature playother=0\n"
        "feature time=1\n"
        "feature sigint=0\n"
        "feature sigterm=0\n"
        "feature analyze=0\n"
        "feature myname=\"%s %s\"\n"
        "feature variants=\"alien\"\n"
        "feature colors=0\n"
        "feature nps=0\n"
        "feature debug=1\n"
        "feature done=1\n",
        ENGINE_NAME, ENGINE_VERSION);
    std::fflush(stdout);
    return true;
}

bool cmdNew(Engine& engine, const WordList&, const std::string&) {
    resetPosition(engine.game);
    engine.clock = Clock{false, 0, 0};
    engine.gameOver = false;
    engine.depthLimited = false;
    engine.maxDepth = 0;
    engine.timeControl = defaultTimeControl();
    engine.engineSide = engine.game.side ^ 1;
    engine.boardChanged = true;
    return true;
}

bool cmdQuit(Engine& engine, const WordList&, const std::string&) {
    engine.leaveLoop = true;
    engine.engineSide = NO_SIDE;
    return true;
}

bool cmdForce(Engine& engine, const WordList&, const std::string&) {
    engine.engineSide = NO_SIDE;
    return true;
}

bool cmdGo(Engine& engine, const WordList&, const std::string&) {
    engine.engineSide = engine.game.side;
    return true;
}

bool cmdLevel(Engine& engine, const WordList& words, const std::string&) {
    engine.timeControl.movesPerPeriod = parseNumber(words.items[1]);
    WordList pieces;
    splitWords(words.items[2], ':', pieces);
    std::int64_t base = std::int64_t{parseNumber(pieces.items[0])} * 60;
    if (pieces.count() >= 2) base += parseNumber(pieces.items[1]);
    if (base > std::numeric_limits<std::int32_t>::max()) base = std::numeric_limits<std::int32_t>::max();
    if (base < std::numeric_limits<std::int32_t>::min()) base = std::numeric_limits<std::int32_t>::min();
    engine.timeControl.baseSeconds = static_cast<std::int32_t>(base);
    engine.timeControl.incrementSeconds = parseNumber(words.items[3]);
    engine.depthLimited = false;
    engine.maxDepth = 0;
    return true;
}

bool cmdSd(Engine& engine, const WordList& words, const std::string& line) {
    const std::int32_t depth = parseNumber(words.items[1]);
    if (depth < 1) {
        reply("Error (illegal depth argument): %s\n", line);
        return false;
    }
    engine.maxDepth = depth;
    engine.depthLimited = true;
    return true;
}

bool cmdTime(Engine& engine, const WordList& words, const std::string& line) {
    const std::int32_t t = parseNumber(words.items[1]);
    if (t < 0) {
        reply("Error (illegal time argument): %s\n", line);
        return false;
    }
    // The clock is set for the engine's next move. Sent before the
    // opponent's move, the line arrives a ply early; for White after its
    // last move of a period the period is already over, and the total of
    // the period before would give the engine a whole period it does not
    // have.
    const Position& game = engine.game;
    const bool beforeOpponentMove = engine.engineSide != NO_SIDE && engine.engineSide != game.side;
    const std::int32_t nextPly = beforeOpponentMove ? game.ply + 1 : game.ply;
    const std::int64_t used = std::int64_t{allocateTime(engine.timeControl, nextPly, engine.clock.used).total} - t;
    engine.clock.used = used > 0 ? static_cast<std::int32_t>(used) : 0;
    return true;
}

bool cmdPing(Engine&, const WordList& words, const std::string&) {
    reply("pong %s\n", words.items[1]);
    return true;
}

bool cmdResult(Engine& engine, const WordList&, const std::string&) {
    engine.gameOver = true;
    engine.engineSide = NO_SIDE;
    return true;
}

bool cmdUndo(Engine& engine, const WordList&, const std::string& line) {
    if (engine.game.ply == 0) {
        reply("Error (no undo at beginning of game): %s\n", line);
        return true;
    }
    unmakeMove(engine.game);
    engine.gameOver = false;
    engine.engineSide = NO_SIDE;
    engine.boardChanged = true;
    return true;
}

bool cmdRemove(Engine& engine, const WordList&, const std::string& line) {
    if (engine.game.ply <= 1) {
        reply("Error (no remove at ply 0 or 1 of game): %s\n", line);
        return true;
    }
    unmakeMove(engine.game);
    unmakeMove(engine.game);
    engine.gameOver = false;
    engine.engineSide = NO_SIDE;
    engine.boardChanged = true;
    return true;
}

bool cmdVariant(Engine&, const WordList& words, const std::string&) {
    if (words.items[1] == "alien") {
        // The board-size token names xboard's parent variant ("fairy"), which
        // it needs to accept an engine-defined variant.
        std::printf("%s\n",
                    "setup (P...Q.p...q.) 8x8+0_fairy 8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1 ");
        std::fflush(stdout);
        return true;
    }
    reply("Error (variant %s not supported)\n", words.items[1]);
    return false;
}

bool cmdAuto(Engine& engine, const WordList&, const std::string&) {
    engine.autoPlay = true;
    engine.engineSide = engine.game.side;
    return true;
}

bool cmdIgnore(Engine&, const WordList&, const std::string&) { return true; }
