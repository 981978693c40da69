// The solver against the rules themselves: plain minimax on random positions
// with few pawns, with every table trick and shortcut on and each one off,
// and the engine's own search run past the end of the game on positions of
// real games.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "search/iterate.h"
#include "search/search.h"
#include "solve_support.h"
#include "search_fixture.h"
#include "tools/solve.h"
#include "tools/solvetable.h"

namespace {

using solvetest::fromFen;
using solvetest::minimax;
using solvetest::Random;
using solvetest::randomFen;
using solvetest::solveValue;

struct Variant {
    const char* name;
    SolveOptions options;
};

std::vector<Variant> variants() {
    SolveOptions all;
    SolveOptions noRunner = all, noPromotion = all, noMirror = all, noCutoffs = all, bare = all;
    noRunner.runner = false;
    noPromotion.againstPromotion = false;
    noMirror.mirror = false;
    noCutoffs.enhancedCutoffs = false;
    bare.runner = bare.againstPromotion = bare.mirror = bare.enhancedCutoffs = false;
    SolveOptions twoThreads = all;
    twoThreads.threads = 2;
    return {{"everything", all},        {"without runner", noRunner},
            {"without promotion rule", noPromotion}, {"without mirror", noMirror},
            {"without cutoffs", noCutoffs}, {"bare", bare}, {"two threads", twoThreads}};
}

// One table for all positions of a variant, never cleared: an entry that
// answered for the wrong position would show.
TEST(Solve, AgreesWithMinimaxOnRandomPositions) {
    for (const Variant& v : variants()) {
        SolveTable table;
        ASSERT_TRUE(table.create(4, v.options.threads > 1));
        Random random{0x5eed1234u + static_cast<std::uint64_t>(v.options.threads)};
        const int count = v.options.threads > 1 ? 300 : 1500;
        int values[3] = {0, 0, 0};
        for (int i = 0; i < count; ++i) {
            const std::string fen = randomFen(random, 3);
            auto pos = fromFen(fen);
            ASSERT_TRUE(pos);
            const int expected = minimax(*pos);
            ++values[expected + 1];
            ASSERT_EQ(solveValue(*pos, table, v.options), expected) << v.name << ": " << fen;
        }
        // The sample holds every value.
        EXPECT_GT(values[0], count / 10) << v.name;
        EXPECT_GT(values[1], 0) << v.name;
        EXPECT_GT(values[2], count / 10) << v.name;
    }
}

// A table too small for the positions it is asked about: entries replace
// each other all the time, and a bucket shared by many positions must keep
// them apart.
TEST(Solve, AgreesWithMinimaxThroughATinyTable) {
    SolveTable table;
    ASSERT_TRUE(table.create(0, false));
    ASSERT_EQ(table.capacity(), 4u);
    Random random{0xfeedu};
    for (int i = 0; i < 400; ++i) {
        const std::string fen = randomFen(random, 4);
        auto pos = fromFen(fen);
        ASSERT_TRUE(pos);
        ASSERT_EQ(solveValue(*pos, table), minimax(*pos)) << fen;
    }
}

// The best move keeps the value: after it, the opponent's value is the
// negation of the root's.
TEST(Solve, BestMoveKeepsTheValue) {
    SolveTable table;
    ASSERT_TRUE(table.create(4, false));
    Random random{0xabcdefu};
    for (int i = 0; i < 300; ++i) {
        const std::string fen = randomFen(random, 3);
        auto pos = fromFen(fen);
        ASSERT_TRUE(pos);
        Solver solver(table, SolveOptions{});
        const SolveResult r = solver.solve(*pos);
        if (gameResult(*pos) != GameResult::ONGOING) {
            EXPECT_EQ(r.best, NO_MOVE) << fen;
            continue;
        }
        ASSERT_NE(r.best, NO_MOVE) << fen;
        generateMoves(*pos);
        const MoveList& list = pos->moveLists[pos->ply];
        ScoredMove played{};
        for (std::uint32_t m = 0; m < list.count; ++m)
            if (list.moves[m].move == r.best) played = list.moves[m];
        ASSERT_EQ(played.move, r.best) << fen << ": not a legal move";
        makeMove(*pos, played);
        EXPECT_EQ(-minimax(*pos), r.value) << fen << " " << moveText(r.best);
    }
}

// Positions of real games, each solved and searched by the engine to a depth
// past the longest possible rest of the game: a win shows there as a score
// of MATE - d, a loss as its negation, a draw as 0.
int engineValue(const std::string& fen) {
    SearchFixture f(fen);
    // Every pawn reaches its last rank within 7 - rank moves, so the game
    // ends within their sum.
    int rest = 1;
    for (int s = 0; s < 2; ++s)
        forEachSquare(f.pos.pawns[s], [&](int sq) { rest += s == WHITE ? 7 - rankOf(sq) : rankOf(sq); });
    PvLine line;
    clearPv(line);
    f.ctx.rootPly = f.pos.ply;
    const int score = searchRoot(f.ctx, f.pos, rest, -MATE - 1, MATE + 1, ScoredMove{}, line);
    if (score > MATE_BOUND) return WIN;
    if (score < -MATE_BOUND) return LOSS;
    EXPECT_EQ(score, 0) << fen;
    return DRAW;
}

TEST(Solve, AgreesWithTheEngineOnPositionsOfRealGames) {
    const std::vector<std::string> lines = {
        "a2a4 c7c5 f2f4 d7d6 g2g4 d6d5 e2e3 h7h6 h2h4 g7g6 d2d3 h6h5 g4g5 b7b6 c2c4 e7e6",
        "b2b4 b7b5 g2g4 g7g5 a2a3 d7d6 d2d3 a7a6 c2c3 h7h6 h2h3 c7c5 c3c4 b5c4",
    };
    SolveTable table;
    ASSERT_TRUE(table.create(16, false));
    int decided = 0;
    for (const std::string& line : lines) {
        auto pos = fromFen("8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1");
        ASSERT_TRUE(pos);
        std::vector<std::string> moves;
        for (std::size_t at = 0; at < line.size(); at += 5) moves.push_back(line.substr(at, 4));
        // The last positions of each line and a few more along the solver's
        // own best moves.
        for (const std::string& m : moves) {
            generateMoves(*pos);
            const MoveList& list = pos->moveLists[pos->ply];
            bool found = false;
            for (std::uint32_t i = 0; i < list.count && !found; ++i)
                if (moveText(list.moves[i].move) == m) {
                    makeMove(*pos, list.moves[i]);
                    found = true;
                }
            ASSERT_TRUE(found) << m;
        }
        for (int extra = 0; extra < 8 && gameResult(*pos) == GameResult::ONGOING; ++extra) {
            auto copy = fromFen(positionToFen(*pos));
            Solver solver(table, SolveOptions{});
            const SolveResult r = solver.solve(*copy);
            const std::string fen = positionToFen(*pos);
            EXPECT_EQ(r.value, engineValue(fen)) << fen;
            decided += r.value != DRAW;
            generateMoves(*pos);
            const MoveList& list = pos->moveLists[pos->ply];
            for (std::uint32_t i = 0; i < list.count; ++i)
                if (list.moves[i].move == r.best) {
                    makeMove(*pos, list.moves[i]);
                    break;
                }
        }
    }
    EXPECT_GT(decided, 0);
}

}  // namespace
