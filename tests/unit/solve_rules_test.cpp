// The solver's early-ending rules, each against plain search: a table of
// positions where the rule must fire or must not (the traps among them),
// then random positions on which every firing must agree with minimax. A
// rule loosened by hand fires where it must not and fails here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "solve_support.h"
#include "tools/solve.h"

namespace {

using solvetest::fromFen;
using solvetest::minimax;
using solvetest::Random;
using solvetest::randomFen;
using solvetest::winsWithin;

TEST(SolveRules, PromotionNextWinsAtOnce) {
    struct Case {
        const char* fen;
        bool fires;
    } cases[] = {
        {"8/P7/8/8/8/8/8/7p w - - 0 1", false},  // a finished game is not asked
        {"8/P6p/8/8/8/8/8/8 w - - 0 1", true},
        {"8/P7/8/8/8/8/p7/8 b - - 0 1", true},
        {"p7/P7/8/8/8/8/8/8 w - - 0 1", false},   // invalid for White: black pawn on a8 ended it
        {"8/1p6/P7/8/8/8/8/8 w - - 0 1", false},
        {"8/8/8/8/8/8/P7/8 b - - 0 1", false},
    };
    for (const Case& c : cases) {
        Position pos;
        initPosition(pos);
        std::string error;
        if (!setPositionFromFen(pos, c.fen, error)) continue;
        if (gameResult(pos) != GameResult::ONGOING) continue;
        EXPECT_EQ(promotesNext(pos), c.fires) << c.fen;
        if (c.fires) {
            EXPECT_TRUE(winsWithin(pos, 1)) << c.fen;
        }
    }
    Random random{77};
    int fired = 0;
    for (int i = 0; i < 3000; ++i) {
        auto pos = fromFen(randomFen(random, 3));
        if (gameResult(*pos) != GameResult::ONGOING || !promotesNext(*pos)) continue;
        ++fired;
        ASSERT_TRUE(winsWithin(*pos, 1)) << positionToFen(*pos);
    }
    EXPECT_GT(fired, 200);
}

TEST(SolveRules, APawnAboutToPromoteCannotBeStopped) {
    struct Case {
        const char* fen;
        bool fires;
        int value;
    } cases[] = {
        {"8/8/8/8/8/3P4/p7/8 w - - 0 1", true, LOSS},
        {"8/8/8/8/8/P1P5/1p6/8 w - - 0 1", true, LOSS},     // b2 stands beside, not ahead
        {"8/8/8/8/8/2P5/1p1p4/8 w - - 0 1", true, LOSS},
        {"8/8/8/8/3p4/3P4/1p6/8 w - - 0 1", true, DRAW},    // but White has no move
        {"8/P7/8/8/8/8/1p6/8 w - - 0 1", false, WIN},       // White promotes first
        {"8/8/8/8/8/2P5/1p1p4/8 b - - 0 1", false, WIN},    // the pawns are Black's own
        {"8/1P6/2p5/8/8/8/8/8 b - - 0 1", true, LOSS},
        {"8/8/8/8/8/2p5/1P6/8 w - - 0 1", false, WIN},
    };
    for (const Case& c : cases) {
        auto pos = fromFen(c.fen);
        ASSERT_TRUE(pos);
        EXPECT_EQ(losesToPromotion(*pos), c.fires) << c.fen;
        EXPECT_EQ(minimax(*pos), c.value) << c.fen;
    }
    Random random{99};
    int fired = 0;
    for (int i = 0; i < 4000; ++i) {
        auto pos = fromFen(randomFen(random, 3));
        if (gameResult(*pos) != GameResult::ONGOING || !losesToPromotion(*pos)) continue;
        ++fired;
        ASSERT_EQ(minimax(*pos), LOSS) << positionToFen(*pos);
    }
    EXPECT_GT(fired, 200);
}

// Where the runner rule fires, the side to move wins, and within the 2k - 1
// plies the runner needs.
void expectRunnerWins(Position& pos, int k) {
    EXPECT_EQ(minimax(pos), WIN) << positionToFen(pos);
    EXPECT_TRUE(winsWithin(pos, 2 * k - 1)) << positionToFen(pos) << " k " << k;
}

TEST(SolveRules, RunnerWinsOnlyWhereNothingStopsIt) {
    struct Case {
        const char* fen;
        int moves;  // what runnerMoves must say
        int value;  // the position's value by minimax
    } cases[] = {
        {"8/6p1/8/1P6/8/8/8/8 w - - 0 1", 3, WIN},     // b5 needs 3 moves, g7 5
        {"8/8/6p1/8/8/8/1P6/8 w - - 0 1", 5, WIN},     // 5 against 5: White moves first
        {"8/6p1/8/8/8/8/1P6/8 w - - 0 1", 0, WIN},     // g7 might take its way over: not claimed
        {"8/p7/8/8/8/8/6P1/8 b - - 0 1", 5, WIN},      // Black's runner, with a double step
        {"8/8/8/1P6/1p6/8/8/8 w - - 0 1", 3, WIN},     // b4 has three free steps
        {"8/8/8/3p4/8/8/1P6/8 w - - 0 1", 0, LOSS},    // d5 promotes in 4, b2 needs 5
        {"8/8/8/1P6/8/8/6p1/8 w - - 0 1", 0, LOSS},
        {"8/2p5/8/1P6/8/8/8/8 w - - 0 1", 0, LOSS},    // c7 takes on b6
        {"8/8/8/8/2p5/8/1P6/8 w - - 0 1", 0, LOSS},    // c4 takes b4 en passant, or b3
        {"8/3p4/8/1P6/8/8/8/8 w - - 0 1", 0, WIN},     // d7 two files off: not claimed
        // Black would be left without a move before the runner arrives.
        {"8/1p1p4/PP1P4/8/8/8/8/8 w - - 0 1", 0, DRAW},
        {"8/8/8/1P6/1p6/1P6/8/8 w - - 0 1", 0, DRAW},
        {"8/8/8/8/3p4/3P4/P7/8 w - - 0 1", 0, DRAW},
        };
    for (const Case& c : cases) {
        Position pos;
        initPosition(pos);
        std::string error;
        if (!setPositionFromFen(pos, c.fen, error) || gameResult(pos) != GameResult::ONGOING) continue;
        const int k = runnerMoves(pos);
        EXPECT_EQ(minimax(pos), c.value) << c.fen;
        EXPECT_EQ(k, c.moves) << c.fen;
        if (k > 0) expectRunnerWins(pos, k);
    }
    Random random{4242};
    int fired = 0;
    for (int i = 0; i < 6000; ++i) {
        auto pos = fromFen(randomFen(random, 3));
        if (gameResult(*pos) != GameResult::ONGOING || promotesNext(*pos)) continue;
        const int k = runnerMoves(*pos);
        if (k == 0) continue;
        ++fired;
        ASSERT_EQ(minimax(*pos), WIN) << positionToFen(*pos);
        ASSERT_TRUE(winsWithin(*pos, 2 * k - 1)) << positionToFen(*pos) << " k " << k;
    }
    EXPECT_GT(fired, 300);
}

}  // namespace
