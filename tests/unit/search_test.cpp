#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "search_fixture.h"

namespace {

int searchAt(SearchFixture& f, int depth, int alpha = -MATE, int beta = MATE) {
    PvLine pv;
    clearPv(pv);
    return search(f.ctx, f.pos, depth, alpha, beta, pv);
}

// Everything a search must leave as it found it.
struct Snapshot {
    Bitboard pawns[2];
    int counts[2], side, ply;
    std::vector<std::uint64_t> keys;
    std::vector<int> eps;
    std::vector<Move> history;
    explicit Snapshot(const Position& p)
        : pawns{p.pawns[0], p.pawns[1]}, counts{p.pawnCount[0], p.pawnCount[1]}, side(p.side), ply(p.ply),
          keys(p.hashKeys, p.hashKeys + p.ply + 1), eps(p.epSquares, p.epSquares + p.ply + 1) {
        for (int i = 0; i < p.ply; ++i) history.push_back(p.history[i].move);
    }
    bool operator==(const Snapshot&) const = default;
};

// The thinking lines of a search with the time field removed.
std::vector<std::string> thinking(const std::string& out) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    static const std::regex timeField("^(\\d+ -?\\d+) \\d+ (.*)$");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(std::regex_replace(line, timeField, "$1 $2"));
    return lines;
}

}  // namespace

// Nodes decided before any move is generated, and nodes decided by the
// moves they have.
TEST(Search, ScoresBySituation) {
    struct Case {
        const char* fen;
        int score;
    } cases[] = {
        {"1P6/8/8/8/8/8/p7/8 b - - 0 1", -30000},      // the last mover reached rank 8, before anything else
        {"8/8/8/8/8/8/P7/8 b - - 0 1", -30000},        // no pawns left
        {"8/1P6/8/8/8/8/p7/8 w - - 0 1", 29999},       // promotes next move
        {"8/7p/7P/4p3/4P3/8/8/8 w - - 0 1", 0},        // pawns but no move: a draw
        {"8/8/8/8/8/7P/p7/8 w - - 0 1", -29998},       // the opponent promotes next move
        {"8/p7/2P5/8/8/8/8/8 w - - 0 1", 29997},       // a free runner two steps from promotion
    };
    for (const Case& c : cases) {
        SearchFixture f(c.fen);
        EXPECT_EQ(searchAt(f, 3), c.score) << c.fen;
        // Three plies further from the root the wins and losses are nearer zero.
        f.ctx.rootPly = -3;
        int expected = c.score > 29000 ? c.score - 3 : c.score < -29000 ? c.score + 3 : c.score;
        EXPECT_EQ(searchAt(f, 3), expected) << c.fen;
        EXPECT_EQ(f.ctx.tt->used, 0u) << c.fen;  // none of these is stored
    }
    // Without moves the quiescence search stands pat instead of calling a draw.
    SearchFixture blocked("8/7p/7P/4p3/4P3/8/8/8 w - - 0 1");
    EXPECT_EQ(quiesce(blocked.ctx, blocked.pos, -MATE, MATE), 8);
}

TEST(Search, PickBestTakesTheEarliestOfEqualScores) {
    MoveList list;
    list.moves[0] = {0x0101, 5};
    list.moves[1] = {0x0202, 9};
    list.moves[2] = {0x0303, 9};
    list.count = 3;
    EXPECT_EQ(pickBest(list, 0)->move, 0x0202);
    EXPECT_EQ(pickBest(list, 1)->move, 0x0303);
    EXPECT_EQ(pickBest(list, 2)->move, 0x0101);
    EXPECT_EQ(pickBest(list, 3), nullptr);
}

TEST(Search, KillersKeepTwoPerDistance) {
    SearchFixture f;
    const ScoredMove a{0x0808, 0}, b{0x0909, 0}, c{0x0a0a, 0};
    storeKiller(f.ctx, 31, a);
    storeKiller(f.ctx, 31, b);
    storeKiller(f.ctx, 31, c);
    EXPECT_TRUE(isKiller(f.ctx, 31, c));
    EXPECT_TRUE(isKiller(f.ctx, 31, a));  // slot 1 took the old slot 0
    EXPECT_FALSE(isKiller(f.ctx, 31, b));
    EXPECT_FALSE(isKiller(f.ctx, 30, a));
    storeKiller(f.ctx, 32, a);  // beyond the slots: ignored
    EXPECT_FALSE(isKiller(f.ctx, 32, a));
    EXPECT_FALSE(isKiller(f.ctx, 0, ScoredMove{0x0808, 0}));  // empty slots match no real move
}

TEST(Search, SingleReplyIsExtendedAndStoredOneDeeper) {
    SearchFixture f("8/8/8/p3p3/P6p/4P2P/8/8 w - - 0 1");  // e3e4 is the only move
    searchAt(f, 1);
    const TTEntry* bucket = bucketOf(*f.ctx.tt, f.pos.hashKeys[0]);
    const auto lo = static_cast<std::uint32_t>(f.pos.hashKeys[0]);
    int found = -1;
    for (int i = 0; i < TT_WAYS; ++i)
        if (bucket[i].keyLo == lo) found = i;
    ASSERT_GE(found, 0);
    EXPECT_EQ(entryDepth(bucket[found]), 2);
    EXPECT_EQ(moveText(bucket[found].move.move), "e3e4");
}

TEST(Search, WinsAreStoredRelativeToTheNode) {
    // b5b6 wins: after any Black reply b6 runs free (29997 - 2 from the root).
    SearchFixture f("8/7p/8/1P6/8/8/8/8 w - - 0 1");
    EXPECT_EQ(searchAt(f, 2), 29995);
    ScoredMove hash{};
    int alpha = -MATE, beta = MATE;
    EXPECT_EQ(probeTT(*f.ctx.tt, f.pos.hashKeys[0], alpha, beta, 1, hash), 29995);
    makeMove(f.pos, packMove(33, 41, 0, 0, 0, 0));
    alpha = -MATE, beta = MATE;
    EXPECT_EQ(probeTT(*f.ctx.tt, f.pos.hashKeys[1], alpha, beta, 1, hash), -29996);
    // Read back one ply from the root it is the same loss, seen from there.
    EXPECT_EQ(searchAt(f, 1), -29995);
    f.ctx.rootPly = -4;
    EXPECT_EQ(searchAt(f, 1), -29991);
}

TEST(Search, TableScoresAreReturnedRebasedToTheRoot) {
    struct Case {
        int stored, distance, returned;
    } cases[] = {{29990, 3, 29987}, {29936, 1, 29935}, {29935, 3, 29935}, {-29990, 3, -29987}, {-29936, 2, -29934}, {-29935, 3, -29935}};
    for (const Case& c : cases) {
        SearchFixture f;
        storeTT(*f.ctx.tt, f.pos.hashKeys[0], c.stored, BOUND_EXACT, 9, 63, ScoredMove{});
        f.ctx.rootPly = -c.distance;
        EXPECT_EQ(searchAt(f, 4), c.returned) << c.stored;
        EXPECT_EQ(f.ctx.ttHits, 1u);
    }
}

TEST(Search, LeavesThePositionAsItFoundItAlsoAfterAnAbort) {
    SearchFixture f("8/p1p2pp1/1p1p3p/3Pp3/2P1P3/1P4PP/P4P2/8 w - - 0 1");
    // Put a few game moves on the stacks first.
    for (int i = 0; i < 3; ++i) {
        generateMoves(f.pos);
        makeMove(f.pos, f.pos.moveLists[f.pos.ply].moves[0]);
    }
    const Snapshot before(f.pos);
    ScoredMove best = f.deepen(6);
    EXPECT_TRUE(Snapshot(f.pos) == before);
    EXPECT_FALSE(isNoMove(best.move));
    // A spent budget aborts at the first clock check, after 4096 nodes.
    const ScoredMove aborted = f.deepenWithSpentBudget();
    EXPECT_TRUE(f.ctx.abort);
    EXPECT_EQ(f.ctx.nodes % 4096, 0u);
    EXPECT_TRUE(Snapshot(f.pos) == before);
    EXPECT_FALSE(isNoMove(aborted.move));
}

TEST(Search, AbortInTheFirstIterationStillGivesALegalMove) {
    // Captures everywhere: depth 1 alone needs more than 4096 nodes.
    SearchFixture f("8/8/p1p1p1p1/1p1p1p1p/P1P1P1P1/1P1P1P1P/8/8 w - - 0 1");
    f.deepen(1);
    ASSERT_GT(f.ctx.nodes, 4096u) << "the position no longer fills a first iteration";
    releaseTT(f.ctx.tt);
    f.ctx.tt = createTT(1u << 16);
    const ScoredMove best = f.deepenWithSpentBudget();
    EXPECT_TRUE(f.ctx.abort);
    // The move the root ordering tries first: the earliest capture onto the
    // highest rank.
    generateMoves(f.pos);
    const MoveList& list = f.pos.moveLists[0];
    MoveList copy = list;
    EXPECT_EQ(best.move, pickBest(copy, 0)->move);
}

TEST(Search, NoLegalMoveGivesNoMove) {
    SearchFixture f("8/7p/7P/4p3/4P3/8/8/8 w - - 0 1");
    EXPECT_TRUE(isNoMove(f.deepen(5).move));
}

TEST(Search, DeepeningStopRules) {
    struct Case {
        const char* fen;
        int plies;      // game plies already on the stacks
        int maxDepth;
        int lastDepth;  // of the last thinking line
        const char* move;
    } cases[] = {
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1", 0, 3, 3, nullptr},
        {"8/8/8/p3p3/P6p/4P2P/8/8 w - - 0 1", 0, 20, 8, "e3e4"},   // one legal move: stop after 8
        {"8/1P6/8/8/8/8/p7/8 w - - 0 1", 0, 20, 1, "b7b8"},       // a win within the depth
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1", MAX_PLY - 4, 20, 4, nullptr},  // the stacks end
    };
    for (const Case& c : cases) {
        SearchFixture f(c.fen);
        // Game plies: shift the set-up position up the stacks.
        f.pos.ply = c.plies;
        f.pos.hashKeys[c.plies] = f.pos.hashKeys[0];
        f.pos.epSquares[c.plies] = f.pos.epSquares[0];
        f.ctx.print = printToStdout;
        testing::internal::CaptureStdout();
        ScoredMove best = f.deepen(c.maxDepth);
        std::vector<std::string> lines = thinking(testing::internal::GetCapturedStdout());
        ASSERT_FALSE(lines.empty()) << c.fen;
        EXPECT_EQ(std::stoi(lines.back()), c.lastDepth) << c.fen;
        if (c.move) {
            EXPECT_EQ(moveText(best.move), c.move);
        }
    }
}

// The thinking output of a fixed search is fixed: depth, score, nodes and
// line of every improvement.
TEST(Search, ThinkingLinesOfTheStartPosition) {
    SearchFixture f;
    // Node counts depend on the table's size: use the engine's own.
    releaseTT(f.ctx.tt);
    f.ctx.tt = createTT();
    f.ctx.print = printToStdout;
    testing::internal::CaptureStdout();
    ScoredMove best = f.deepen(6);
    std::string out = testing::internal::GetCapturedStdout();
    const std::vector<std::string> expected = {
        "1 4 2 a2a4",
        "1 4 17 a2a4",
        "2 0 35 a2a4 a7a5",
        "2 0 69 a2a4 a7a5",
        "3 4 126 a2a4 a7a5 d2d4",
        "3 4 398 a2a4 a7a5 d2d4",
        "4 0 726 a2a4 a7a5 d2d4 d7d5",
        "4 0 1181 a2a4 a7a5 d2d4 d7d5",
        "5 4 2031 a2a4 a7a5 d2d4 d7d5 h2h4",
        "5 4 5964 a2a4 a7a5 d2d4 d7d5 h2h4",
        "6 0 11032 a2a4 a7a5 d2d4 d7d5 h2h4 h7h5",
        "6 0 21152 a2a4 a7a5 d2d4 d7d5 h2h4 h7h5",
    };
    EXPECT_EQ(thinking(out), expected);
    EXPECT_EQ(moveText(best.move), "a2a4");
    EXPECT_TRUE(std::regex_search(out, std::regex("\n# elapsed=\\d+ nodes=21152 nps=\\d+ ttHits=\\d+ ttUsed=[ 0-9.]{4}%\n$")))
        << out;
}

// The clock cuts a root search off before its first move comes back: its
// best is still the -30000 of nothing searched, which is no score and gets
// no thinking line (a GUI would show a loss at the root).
TEST(Search, NoThinkingLineForARootSearchThatSearchedNothing) {
    // Lost for Black: from depth 8 on the window sits around -29990, so the
    // abort at the 4096th node falls inside it.
    SearchFixture f("8/1p2p3/p4p2/2Pp1P2/P6p/2P1P2P/3P4/8 b - - 0 1");
    f.ctx.print = printToStdout;
    testing::internal::CaptureStdout();
    const ScoredMove best = f.deepenWithSpentBudget();
    const std::vector<std::string> lines = thinking(testing::internal::GetCapturedStdout());
    ASSERT_TRUE(f.ctx.abort);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("9 -29990 ", 0), 0u) << lines.back();
    for (const std::string& line : lines) EXPECT_EQ(line.find(" -30000"), std::string::npos) << line;
    EXPECT_EQ(moveText(best.move), "d5d4");
}
