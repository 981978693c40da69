#include <gtest/gtest.h>

#include <limits>

#include "protocol/commands.h"
#include "protocol/engine.h"
#include "protocol/timecontrol.h"
#include "search/clock.h"
#include "search/searchcontext.h"

namespace {

Engine& freshEngine() {
    static Engine engine;
    initEngine(engine);
    return engine;
}

}  // namespace

TEST(Clock, BudgetsOfWorkedControls) {
    struct Case {
        int mps, base, inc, ply, used;
        int movesToGo, total, budget;
    } cases[] = {
        {40, 300, 0, 0, 0, 40, 30000, 711},
        {40, 300, 0, 1, 0, 40, 30000, 711},
        {20, 300, 0, 40, 0, 20, 60000, 2849},
        {20, 300, 0, 79, 0, 1, 60000, 56981},
        {0, 300, 3, 0, 0, 32, 30300, 898},
        {40, 300, 0, 0, 29000, 40, 30000, 22},
        {40, 300, 0, 0, 29990, 40, 30000, 0},    // the last 20 centiseconds are kept
        {1, 1, 0, 200, 0, 1, 10100, 9576},      // many periods rolled over
    };
    for (const Case& c : cases) {
        const TimeAllocation a = allocateTime(TimeControl{c.mps, c.base, c.inc}, c.ply, c.used);
        EXPECT_EQ(a.movesToGo, c.movesToGo) << c.mps << " " << c.ply;
        EXPECT_EQ(a.total, c.total) << c.mps << " " << c.ply;
        EXPECT_EQ(a.budget, c.budget) << c.mps << " " << c.ply;
    }
}

TEST(Clock, HugeControlsSaturateInsteadOfOverflowing) {
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t least = std::numeric_limits<std::int32_t>::min();
    TimeAllocation a = allocateTime(TimeControl{1, most, most}, 100, least);
    EXPECT_EQ(a.total, most);
    EXPECT_GE(a.budget, 0);
    a = allocateTime(TimeControl{1, least, least}, 100, most);
    EXPECT_EQ(a.available, 0);
    EXPECT_EQ(a.budget, 0);
}

TEST(Clock, TimeCommandRebasesUsed) {
    Engine& e = freshEngine();
    WordList words;
    splitWords("time 1000", ' ', words);
    EXPECT_TRUE(cmdTime(e, words, "time 1000"));
    EXPECT_EQ(e.clock.used, 29000);
    EXPECT_EQ(allocateTime(e.timeControl, e.game.ply, e.clock.used).budget, 22);
    WordList more;
    splitWords("time 99999999", ' ', more);
    EXPECT_TRUE(cmdTime(e, more, "time 99999999"));
    EXPECT_EQ(e.clock.used, 0);
}

TEST(Clock, StampDifferencesSurviveTheWrap) {
    EXPECT_EQ(stampDifference(5, -5), 10);  // across 2^32
    EXPECT_EQ(stampDifference(std::numeric_limits<std::int32_t>::min() + 3,
                              std::numeric_limits<std::int32_t>::max()), 4);
    Clock c{true, 100, clockStamp()};
    EXPECT_GE(readClock(c), 100);
    EXPECT_LT(readClock(c), 200);
    stopClock(c);
    EXPECT_FALSE(c.running);
    EXPECT_GE(c.used, 100);
}

// A clock at its end stays there: readings that wrapped to negative values
// left the time check waiting for a budget it would never see spent.
TEST(Clock, ReadingsSaturateAtTheEnd) {
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    // Started a second ago, with the game's whole allowance already used.
    Clock c{true, most, static_cast<std::int32_t>(static_cast<std::uint32_t>(clockStamp()) - 100u)};
    EXPECT_EQ(readClock(c), most);
    stopClock(c);
    EXPECT_EQ(c.used, most);

    // Saturated "level" and "time 0": the budget is nothing, and the first
    // time check ends the search.
    const TimeAllocation a = allocateTime(TimeControl{0, most, 0}, 0, most);
    EXPECT_EQ(a.budget, 0);
    static SearchContext ctx;
    initSearchContext(ctx);
    c.running = true;
    ctx.limits = SearchLimits{false, 0, true, &c, readClock(c), a.budget};
    ctx.nodes = 4096;
    checkTime(ctx);
    EXPECT_TRUE(ctx.abort);
}

// "time" comes before the opponent's move. For White after the last move of
// a period it already counts the next period's time: rebasing against the
// period just ended credited a second period on top of it.
TEST(Clock, TimeBeforeTheOpponentsMoveCountsForTheNextMove) {
    struct Case {
        int engineSide, ply;
        std::int32_t used;  // after "time 100" under one move in one second
    } cases[] = {
        {WHITE, 1, 100},     // White's period ended with its move: 2 s in all
        {BLACK, 0, 0},       // Black has not moved yet: still the first period
        {BLACK, 2, 100},
        {NO_SIDE, 1, 0},     // no engine side: the move is for the side to move
    };
    for (const Case& c : cases) {
        Engine& e = freshEngine();
        e.timeControl = TimeControl{1, 1, 0};
        e.engineSide = c.engineSide;
        e.game.ply = c.ply;
        e.game.side = c.ply & 1;
        WordList words;
        splitWords("time 100", ' ', words);
        EXPECT_TRUE(cmdTime(e, words, "time 100"));
        EXPECT_EQ(e.clock.used, c.used) << c.engineSide << " " << c.ply;
        const int movePly = c.engineSide == NO_SIDE || c.engineSide == e.game.side ? c.ply : c.ply + 1;
        EXPECT_LE(allocateTime(e.timeControl, movePly, e.clock.used).budget, 100);
    }
}
