// libFuzzer target: arbitrary bytes as the engine's standard input. The
// bytes are cut into lines as the line reader cuts them and each line goes
// through the main loop's own passes (one line, the engine's turn, board
// print, game-end check). Searches
// are held to a small depth so that every input stays quick. After every
// line and every engine move the position must still be a sound game
// position, and a refused line must have changed nothing at all.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "board/hash.h"
#include "board/position.h"
#include "protocol/engine.h"
#include "protocol/mainloop.h"
#include "search/transposition.h"

namespace {

// The engine is large: one static record, set up afresh for every input.
Engine engine;

// A small table keeps set-up and release cheap; its size does not change
// the search's logic.
constexpr std::uint32_t FUZZ_TT_ENTRIES = 1u << 14;
constexpr int FUZZ_MAX_DEPTH = 3;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s (ply %d, side %d)\n", what, engine.game.ply,
                 engine.game.side);
    std::abort();
}

#define EXPECT(cond)              \
    do {                          \
        if (!(cond)) fail(#cond); \
    } while (0)

void checkPosition() {
    const Position& pos = engine.game;
    EXPECT(pos.ply >= 0 && pos.ply < MAX_PLY);
    EXPECT(pos.side == (pos.ply & 1));
    EXPECT((pos.pawns[WHITE] & pos.pawns[BLACK]) == 0);
    EXPECT(pos.pawnCount[WHITE] == popCount(pos.pawns[WHITE]));
    EXPECT(pos.pawnCount[BLACK] == popCount(pos.pawns[BLACK]));
    // Pawns never move backwards: none stands on its own back rank.
    EXPECT((pos.pawns[WHITE] & rankMask(0)) == 0);
    EXPECT((pos.pawns[BLACK] & rankMask(7)) == 0);
    const int ep = pos.epSquares[pos.ply];
    EXPECT(ep == NO_SQUARE || (ep >= 16 && ep < 24) || (ep >= 40 && ep < 48));
    EXPECT(pos.hashKeys[pos.ply] == computeHash(pos.pawns, pos.side, ep));
    EXPECT(engine.engineSide >= WHITE && engine.engineSide <= NO_SIDE);
}

// Everything a refused line must leave as it was: the game with its move
// history, the clock and the protocol settings.
struct Snapshot {
    Bitboard pawns[2];
    std::int32_t pawnCount[2], side, ply;
    std::uint64_t keys[MAX_PLY + 1];
    std::int32_t eps[MAX_PLY + 1];
    Move history[MAX_PLY];
    Clock clock;
    std::int32_t engineSide, maxDepth;
    TimeControl timeControl;
    bool leaveLoop, gameOver, xboardMode, autoPlay, boardChanged, depthLimited;
};

Snapshot snapshot() {
    Snapshot s{};
    const Position& pos = engine.game;
    for (int c = 0; c < 2; ++c) {
        s.pawns[c] = pos.pawns[c];
        s.pawnCount[c] = pos.pawnCount[c];
    }
    s.side = pos.side;
    s.ply = pos.ply;
    for (int p = 0; p <= pos.ply && p <= MAX_PLY; ++p) {
        s.keys[p] = pos.hashKeys[p];
        s.eps[p] = pos.epSquares[p];
        if (p < pos.ply) s.history[p] = pos.history[p].move;
    }
    s.clock = engine.clock;
    s.engineSide = engine.engineSide;
    s.maxDepth = engine.maxDepth;
    s.timeControl = engine.timeControl;
    s.leaveLoop = engine.leaveLoop;
    s.gameOver = engine.gameOver;
    s.xboardMode = engine.xboardMode;
    s.autoPlay = engine.autoPlay;
    s.boardChanged = engine.boardChanged;
    s.depthLimited = engine.depthLimited;
    return s;
}

bool sameState(const Snapshot& a, const Snapshot& b) {
    if (a.ply != b.ply || a.side != b.side) return false;
    for (int c = 0; c < 2; ++c)
        if (a.pawns[c] != b.pawns[c] || a.pawnCount[c] != b.pawnCount[c]) return false;
    for (int p = 0; p <= a.ply; ++p) {
        if (a.keys[p] != b.keys[p] || a.eps[p] != b.eps[p]) return false;
        if (p < a.ply && a.history[p] != b.history[p]) return false;
    }
    return a.clock.running == b.clock.running && a.clock.used == b.clock.used &&
           a.clock.start == b.clock.start && a.engineSide == b.engineSide &&
           a.maxDepth == b.maxDepth &&
           a.timeControl.movesPerPeriod == b.timeControl.movesPerPeriod &&
           a.timeControl.baseSeconds == b.timeControl.baseSeconds &&
           a.timeControl.incrementSeconds == b.timeControl.incrementSeconds &&
           a.leaveLoop == b.leaveLoop &&
           a.gameOver == b.gameOver && a.xboardMode == b.xboardMode &&
           a.autoPlay == b.autoPlay && a.boardChanged == b.boardChanged &&
           a.depthLimited == b.depthLimited;
}

// The next line as the reader takes it from a stream: at most 1023 bytes,
// the line end included when it fits; a NUL byte ends what the engine sees.
std::string_view nextLine(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    const char* text = reinterpret_cast<const char*>(data) + at;
    std::size_t n = 0;
    while (at + n < size && n < 1023) {
        ++n;
        if (text[n - 1] == '\n') break;
    }
    at += n;
    const void* nul = std::memchr(text, '\0', n);
    if (nul != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    return std::string_view(text, n);
}

// The engine's state before the line now being dispatched, and the ply
// before the engine's turn now being played.
Snapshot lineBefore;
int plyBefore;

const LoopWatch WATCH{
    [](Engine&) { lineBefore = snapshot(); },
    [](Engine&, bool accepted) {
        checkPosition();
        if (!accepted && !sameState(lineBefore, snapshot())) fail("a refused line changed the engine");
    },
    [](Engine& e) {
        if (!e.depthLimited || e.maxDepth > FUZZ_MAX_DEPTH) {
            e.depthLimited = true;
            e.maxDepth = FUZZ_MAX_DEPTH;
        }
        plyBefore = e.game.ply;
    },
    [](Engine& e) {
        checkPosition();
        EXPECT(e.game.ply == plyBefore + 1 || (e.game.ply == plyBefore && e.engineSide == NO_SIDE));
    },
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The engine's replies are not looked at; writing them costs time.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    initEngine(engine);
    engine.searchContext.tt = createTT(FUZZ_TT_ENTRIES);
    if (engine.searchContext.tt == nullptr) std::abort();
    engine.input = nullptr;  // lines come from the fuzzer's bytes
    checkPosition();

    // The real loop's passes, fed the fuzzer's lines, with the checks
    // between their steps.
    std::size_t at = 0;
    for (bool more = startLoop(engine, &WATCH); more;) {
        if (at < size) {
            const std::string_view line = nextLine(data, size, at);
            more = runPass(engine, &line, &WATCH);
        } else {
            more = runPass(engine, nullptr, &WATCH);
        }
    }
    releaseEngine(engine);
    return 0;
}
