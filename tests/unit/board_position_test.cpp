// The position record: set-up, make and unmake, the en-passant rule after a
// double step, the free-pawn query and the board diagram.
#include <gtest/gtest.h>

#include "board_support.h"

using namespace boardtest;

namespace {

constexpr Bitboard RANK_2 = 0x000000000000ff00ULL;
constexpr Bitboard RANK_7 = 0x00ff000000000000ULL;

TEST(Position, InitialisedToTheStartPosition) {
    auto pos = startPosition();
    EXPECT_EQ(pos->pawns[WHITE], RANK_2);
    EXPECT_EQ(pos->pawns[BLACK], RANK_7);
    EXPECT_EQ(pos->pawnCount[WHITE], 8);
    EXPECT_EQ(pos->pawnCount[BLACK], 8);
    EXPECT_EQ(pos->side, WHITE);
    EXPECT_EQ(pos->ply, 0);
    EXPECT_EQ(pos->epSquares[0], NO_SQUARE);
    EXPECT_EQ(pos->moveLists[0].count, 0u);
    EXPECT_EQ(pos->hashKeys[0], computeHash(pos->pawns, 0, NO_SQUARE));
    EXPECT_NE(pos->hashKeys[0], 0u);
    for (const ScoredMove& m : pos->history) EXPECT_EQ(m.move, NO_MOVE);
}

TEST(Position, ResetAfterMovesGivesTheStartBack) {
    auto pos = startPosition();
    const Snapshot start(*pos);
    play(*pos, {"e2e4", "d7d5", "e4d5"});
    ASSERT_EQ(pos->pawnCount[BLACK], 7);
    resetPosition(*pos);
    EXPECT_EQ(Snapshot(*pos), start);
    EXPECT_EQ(pos->moveLists[0].count, 0u);
}

TEST(Position, PrintBoardDrawsRanksEightToOne) {
    auto pos = startPosition();
    testing::internal::CaptureStdout();
    printBoard(*pos);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "........\npppppppp\n........\n........\n........\n........\nPPPPPPPP\n........\n");

    auto corners = placed({"a1", "h8"}, {"h1", "a8"});
    testing::internal::CaptureStdout();
    printBoard(*corners);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "p......P\n........\n........\n........\n........\n........\n........\nP......p\n");
}

// The en-passant square of the new ply after one move.
TEST(Position, EnPassantSquareOnlyBesideAnEnemyPawn) {
    struct Case {
        const char* name;
        Squares white, black;
        int side;
        const char* move;
        int expected;
    } cases[] = {
        {"no neighbour", {"e2"}, {"a7"}, WHITE, "e2e4", NO_SQUARE},
        {"black pawn left", {"e2"}, {"d4"}, WHITE, "e2e4", sq("e3")},
        {"black pawn right", {"e2"}, {"f4"}, WHITE, "e2e4", sq("e3")},
        {"own pawn beside", {"e2", "d4", "f4"}, {"a7"}, WHITE, "e2e4", NO_SQUARE},
        {"enemy pawn not on the same rank", {"e2"}, {"d5", "f3", "e5"}, WHITE, "e2e4", NO_SQUARE},
        {"a-file: h3 is no neighbour", {"a2"}, {"h3"}, WHITE, "a2a4", NO_SQUARE},
        {"h-file: a5 is no neighbour", {"h2"}, {"a5"}, WHITE, "h2h4", NO_SQUARE},
        {"a-file with b4", {"a2"}, {"b4"}, WHITE, "a2a4", sq("a3")},
        {"h-file with g4", {"h2"}, {"g4"}, WHITE, "h2h4", sq("h3")},
        {"single step beside an enemy", {"e3"}, {"d4"}, WHITE, "e3e4", NO_SQUARE},
        {"black: h-file, a6 is no neighbour", {"a6"}, {"h7"}, BLACK, "h7h5", NO_SQUARE},
        {"black: a-file, h4 is no neighbour", {"h4"}, {"a7"}, BLACK, "a7a5", NO_SQUARE},
        {"black: a-file with b5", {"b5"}, {"a7"}, BLACK, "a7a5", sq("a6")},
        {"black: h-file with g5", {"g5"}, {"h7"}, BLACK, "h7h5", sq("h6")},
        {"black: d7d5 beside e5", {"e5"}, {"d7"}, BLACK, "d7d5", sq("d6")},
        {"black: single step", {"e5"}, {"d6"}, BLACK, "d6d5", NO_SQUARE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto pos = placed(c.white, c.black, c.side);
        play(*pos, {c.move});
        EXPECT_EQ(pos->epSquares[1], c.expected);
        EXPECT_EQ(pos->hashKeys[1], computeHash(pos->pawns, pos->side, c.expected));
    }
}

TEST(Position, EnPassantSquareLastsOnePly) {
    auto pos = placed({"e2", "a2"}, {"d4", "h7"});
    play(*pos, {"e2e4"});
    ASSERT_EQ(pos->epSquares[1], sq("e3"));
    play(*pos, {"h7h6"});  // declining the capture
    EXPECT_EQ(pos->epSquares[2], NO_SQUARE);
    play(*pos, {"a2a3"});
    EXPECT_EQ(pos->epSquares[3], NO_SQUARE);
}

TEST(Position, EnPassantCaptureRemovesThePawnBehindAndUnmakeRestoresIt) {
    struct Case {
        Squares white, black;
        int side;
        const char* doubleStep;
        const char* capture;
        const char* victim;
    } cases[] = {
        {{"e5", "a2"}, {"d7", "h7"}, BLACK, "d7d5", "e5d6", "d5"},
        {{"a2", "h2"}, {"b4", "h7"}, WHITE, "a2a4", "b4a3", "a4"},
        {{"h2", "a2"}, {"g4", "a7"}, WHITE, "h2h4", "g4h3", "h4"},
        {{"g5"}, {"h7", "a7"}, BLACK, "h7h5", "g5h6", "h5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capture);
        auto pos = placed(c.white, c.black, c.side);
        play(*pos, {c.doubleStep});
        const Snapshot before(*pos);
        const int victimSide = pos->side ^ 1;
        const ScoredMove m = findMove(*pos, c.capture);
        ASSERT_TRUE(isEnPassant(m.move) && isCapture(m.move));
        makeMove(*pos, m);
        const Bitboard all = pos->pawns[WHITE] | pos->pawns[BLACK];
        EXPECT_EQ(all & (Bitboard{1} << sq(c.victim)), 0u);
        EXPECT_NE(pos->pawns[victimSide ^ 1] & (Bitboard{1} << sq(c.capture + 2)), 0u);
        EXPECT_EQ(pos->pawnCount[victimSide], before.counts[victimSide] - 1);
        EXPECT_EQ(pos->hashKeys[pos->ply], computeHash(pos->pawns, pos->side, NO_SQUARE));
        unmakeMove(*pos);
        EXPECT_EQ(Snapshot(*pos), before);
        // The taken pawn is back on its own square, the to-square empty.
        EXPECT_NE(pos->pawns[victimSide] & (Bitboard{1} << sq(c.victim)), 0u);
        EXPECT_EQ((pos->pawns[WHITE] | pos->pawns[BLACK]) & (Bitboard{1} << sq(c.capture + 2)), 0u);
    }
}

TEST(Position, MakeThenUnmakeRestoresEverythingForEveryKindOfMove) {
    // One position offering a promotion, an en-passant capture, captures in
    // both directions, steps, start steps and double steps for White.
    auto pos = placed({"b7", "e5", "c4", "a2", "h2"}, {"d7", "b5", "g3", "a6"}, BLACK);
    play(*pos, {"d7d5"});
    const MoveList& list = generated(*pos);
    ASSERT_GE(list.count, 8u);
    const MoveList copy = list;
    for (std::uint32_t i = 0; i < copy.count; ++i) {
        SCOPED_TRACE(describe(copy.moves[i]));
        const Snapshot before(*pos);
        makeMove(*pos, copy.moves[i]);
        EXPECT_EQ(pos->ply, before.ply + 1);
        EXPECT_EQ(pos->side, before.side ^ 1);
        EXPECT_EQ(pos->history[before.ply].move, copy.moves[i].move);
        EXPECT_EQ(pos->history[before.ply].score, copy.moves[i].score);
        EXPECT_EQ(pos->pawnCount[WHITE], popCount(pos->pawns[WHITE]));
        EXPECT_EQ(pos->pawnCount[BLACK], popCount(pos->pawns[BLACK]));
        EXPECT_EQ(pos->pawns[WHITE] & pos->pawns[BLACK], 0u);
        unmakeMove(*pos);
        EXPECT_EQ(Snapshot(*pos), before);
    }
}

TEST(Position, RunnerInThreeLooksOnlyAtTheSquareAhead) {
    struct Case {
        const char* name;
        Squares white, black;
        int side;
        bool expected;
    } cases[] = {
        {"white c6, c7 empty", {"c6"}, {"a7"}, WHITE, true},
        {"white c6, c7 white", {"c6", "c7"}, {"a7"}, WHITE, false},
        {"white c6, c7 black", {"c6"}, {"c7"}, WHITE, false},
        {"white c6 with enemies on b7 and d7", {"c6"}, {"b7", "d7"}, WHITE, true},
        {"white c6, promoted pawn on c8", {"c6", "c8"}, {"a7"}, WHITE, true},
        {"white c5 is one rank short", {"c5"}, {"a7"}, WHITE, false},
        {"white c7 is past it", {"c7"}, {"a7"}, WHITE, false},
        {"white h6 with a7 occupied", {"h6", "a7"}, {"b7"}, WHITE, true},
        {"a6 blocked, h6 free", {"a6", "h6"}, {"a7"}, WHITE, true},
        {"white runner, black asked", {"c6"}, {"a7"}, BLACK, false},
        {"black f3, f2 empty", {"a2"}, {"f3"}, BLACK, true},
        {"black f3, f2 white", {"f2"}, {"f3"}, BLACK, false},
        {"black f3, f2 black", {"a2"}, {"f3", "f2"}, BLACK, false},
        {"black f4 is one rank short", {"a2"}, {"f4"}, BLACK, false},
        {"black a3 with h2 occupied", {"h2"}, {"a3"}, BLACK, true},
        {"black runner, white asked", {"a2"}, {"f3"}, WHITE, false},
    };
    for (const Case& c : cases) {
        auto pos = placed(c.white, c.black);
        EXPECT_EQ(hasRunnerInThree(*pos, c.side), c.expected) << c.name;
    }
}

}  // namespace
