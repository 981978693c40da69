// The search ends a node early wherever a rule of the game decides it: the
// game-ending tests of terminalScore, the draw of a side without moves, the
// loss to an enemy pawn a step from promotion and the win of a free runner.
// These tests hold each shortcut to the board's own rules (gameResult) one
// or two moves ahead, at every ply of seeded random games, and check that
// the search returns the scores that the shortcuts promise.
#include <gtest/gtest.h>

#include <random>

#include "board/gameresult.h"
#include "board/movegen.h"
#include "search_fixture.h"

namespace {

GameResult winFor(int side) { return side == WHITE ? GameResult::WHITE_WINS : GameResult::BLACK_WINS; }

MoveList movesOf(Position& pos) {
    generateMoves(pos);
    return pos.moveLists[pos.ply];
}

// True when the side to move has a move after which the rules give it the
// game.
bool winsInOne(Position& pos) {
    const int us = pos.side;
    const MoveList list = movesOf(pos);
    bool wins = false;
    for (std::uint32_t i = 0; i < list.count && !wins; ++i) {
        makeMove(pos, list.moves[i]);
        wins = gameResult(pos) == winFor(us);
        unmakeMove(pos);
    }
    return wins;
}

// True when every move of the side to move leaves the other side a win in
// one, and none of them ends the game.
bool losesInTwo(Position& pos) {
    const MoveList list = movesOf(pos);
    bool loses = list.count > 0;
    for (std::uint32_t i = 0; i < list.count && loses; ++i) {
        makeMove(pos, list.moves[i]);
        loses = gameResult(pos) == GameResult::ONGOING && winsInOne(pos);
        unmakeMove(pos);
    }
    return loses;
}

struct Coverage {
    int wins = 0, winsInOne = 0, draws = 0, lossesInTwo = 0, runners = 0;
};

int searchScore(SearchFixture& f, int depth) {
    PvLine pv;
    clearPv(pv);
    f.ctx.rootPly = f.pos.ply;
    return search(f.ctx, f.pos, depth, -MATE, MATE, pv);
}

void checkPosition(SearchFixture& f, Coverage& seen) {
    Position& pos = f.pos;
    const int us = pos.side, them = us ^ 1;
    const GameResult result = gameResult(pos);
    // Any distance will do; vary it so that a score that ignores it shows.
    const int distance = pos.ply % 5;
    int score = 0;
    const bool ended = terminalScore(pos, distance, score);

    if (result == winFor(them)) {
        ++seen.wins;
        ASSERT_TRUE(ended);
        EXPECT_EQ(score, distance - MATE);
        EXPECT_EQ(searchScore(f, 1), -MATE);
        return;
    }
    ASSERT_NE(result, winFor(us)) << "a win is always the last mover's";
    if (ended) {
        ++seen.winsInOne;
        EXPECT_EQ(score, MATE - 1 - distance);
        EXPECT_EQ(result, GameResult::ONGOING);
        EXPECT_TRUE(winsInOne(pos));
        EXPECT_EQ(searchScore(f, 1), MATE - 1);
        return;
    }

    const MoveList list = movesOf(pos);
    ASSERT_EQ(list.count == 0, result == GameResult::DRAW);
    if (result == GameResult::DRAW) {
        ++seen.draws;
        EXPECT_EQ(searchScore(f, 1), 0);
        EXPECT_EQ(searchScore(f, 3), 0);
        return;
    }
    if (pos.pawns[them] & rankMask(LAST_BUT_ONE_RANK[them])) {
        ++seen.lossesInTwo;
        EXPECT_TRUE(losesInTwo(pos));
        EXPECT_EQ(searchScore(f, 1), -(MATE - 2));
        return;
    }
    if (hasRunnerInThree(pos, us)) {
        ++seen.runners;
        EXPECT_EQ(searchScore(f, 1), MATE - 3);
        // The runner's step must leave the other side no win and no escape:
        // after every reply the runner promotes. The one exception that the
        // shortcut lets through is a step that leaves the other side with
        // pawns but no move, which draws (8/1p1p4/PP1P4/8/8/8/8/8 w is such
        // a draw, scored as a win).
        for (std::uint32_t i = 0; i < list.count; ++i) {
            const Move m = list.moves[i].move;
            if (rankOf(moveFrom(m)) != LAST_BUT_TWO_RANK[us] || isCapture(m)) continue;
            makeMove(pos, list.moves[i]);
            const GameResult after = gameResult(pos);
            if (after != GameResult::DRAW) {
                EXPECT_EQ(after, GameResult::ONGOING);
                EXPECT_TRUE(losesInTwo(pos));
            }
            unmakeMove(pos);
        }
    }
}

TEST(SearchShortcuts, AgreeWithTheRulesAlongRandomGames) {
    auto f = std::make_unique<SearchFixture>();
    Coverage seen;
    for (unsigned game = 0; game < 3000; ++game) {
        std::mt19937 random(game);
        resetPosition(f->pos);
        for (;;) {
            checkPosition(*f, seen);
            if (testing::Test::HasFatalFailure()) FAIL() << "game " << game << " ply " << f->pos.ply;
            if (gameResult(f->pos) != GameResult::ONGOING) break;
            const MoveList list = movesOf(f->pos);
            makeMove(f->pos, list.moves[random() % list.count]);
        }
    }
    // Every shortcut was taken somewhere.
    EXPECT_GT(seen.wins, 0);
    EXPECT_GT(seen.winsInOne, 0);
    EXPECT_GT(seen.draws, 0);
    EXPECT_GT(seen.lossesInTwo, 0);
    EXPECT_GT(seen.runners, 0);
}

}  // namespace
