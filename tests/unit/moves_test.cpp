#include <gtest/gtest.h>

#include "board/moves.h"

TEST(Moves, PackAndText) {
    initBitTables();
    ScoredMove m = packMove(12, 28, 0, 1, 0, 200);
    EXPECT_EQ(m.move, 0x4e0c);
    EXPECT_EQ(m.score, 200);
    EXPECT_EQ(moveText(m.move), "e2e4");
    EXPECT_EQ(moveText(static_cast<Move>(NO_MOVE | (5 << 7))), "null");
}
