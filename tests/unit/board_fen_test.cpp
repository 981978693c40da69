// Pawn-only set-up texts: what they set up, what they refuse, and the text
// written back from a position.
#include <gtest/gtest.h>

#include "board_support.h"
#include "board/fen.h"

using namespace boardtest;

namespace {

TEST(Fen, StartPositionInEveryAcceptedSpelling) {
    auto start = startPosition();
    const Snapshot expected(*start);
    for (const char* fen : {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w",
                            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w -", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 17",
                            "  8/pppppppp/8/8/8/8/PPPPPPPP/8   w  -  -  0  1 "}) {
        auto pos = startPosition();
        play(*pos, {"e2e4", "d7d5"});
        std::string error;
        ASSERT_TRUE(setPositionFromFen(*pos, fen, error)) << fen << ": " << error;
        EXPECT_EQ(Snapshot(*pos), expected) << fen;
        EXPECT_EQ(pos->moveLists[0].count, 0u);
    }
}

TEST(Fen, EnPassantSquareKeptOnlyWhenACaptureIsPossible) {
    struct Case {
        const char* fen;
        int side;
        int ep;
    } cases[] = {
        {"8/pppp1ppp/8/8/3pP3/8/PPPP1PPP/8 b - e3 0 1", BLACK, sq("e3")},
        {"8/pppppppp/8/8/4P3/8/PPPP1PPP/8 b - e3 0 1", BLACK, NO_SQUARE},
        {"8/pp2pppp/8/2PpP3/8/8/PP1P1PPP/8 w - d6 0 1", WHITE, sq("d6")},
        {"8/ppppppp1/8/6Pp/8/8/PPPPPP1P/8 w - h6", WHITE, sq("h6")},
        {"8/ppppppp1/8/P6p/8/8/1PPPPPPP/8 w - h6", WHITE, NO_SQUARE},  // a5 is no neighbour of h5
    };
    for (const Case& c : cases) {
        auto pos = startPosition();
        std::string error;
        ASSERT_TRUE(setPositionFromFen(*pos, c.fen, error)) << c.fen << ": " << error;
        EXPECT_EQ(pos->side, c.side) << c.fen;
        EXPECT_EQ(pos->ply, 0) << c.fen;
        EXPECT_EQ(pos->epSquares[0], c.ep) << c.fen;
        EXPECT_EQ(pos->pawnCount[WHITE], popCount(pos->pawns[WHITE])) << c.fen;
        EXPECT_EQ(pos->pawnCount[BLACK], popCount(pos->pawns[BLACK])) << c.fen;
        EXPECT_EQ(pos->hashKeys[0], computeHash(pos->pawns, c.side, c.ep)) << c.fen;
    }
}

TEST(Fen, RefusalLeavesThePositionAlone) {
    auto pos = startPosition();
    play(*pos, {"e2e4", "d7d5"});
    const Snapshot before(*pos);
    for (const char* fen : {"", "8/8/8 w", "8/pppppppp/8/8/8/8/PPPPPPPP/4K3 w",
                            "8/pppppppp/8/8/P7/8/PPPPPPPP/8 w", "8/pppppppp/8/8/8/8/PPPPPPP1/P7 w",
                            "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e6"}) {
        std::string error;
        EXPECT_FALSE(setPositionFromFen(*pos, fen, error)) << fen;
        EXPECT_NE(error, "") << fen;
        EXPECT_EQ(Snapshot(*pos), before) << fen;
    }
}

TEST(Fen, WrittenBackFromAPosition) {
    auto pos = startPosition();
    EXPECT_EQ(positionToFen(*pos), "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1");
    play(*pos, {"e2e4"});
    EXPECT_EQ(positionToFen(*pos), "8/pppppppp/8/8/4P3/8/PPPP1PPP/8 b - - 0 1");

    auto ep = placed({"e5", "h2"}, {"d7", "a7"}, BLACK);
    play(*ep, {"d7d5"});
    const std::string text = positionToFen(*ep);
    EXPECT_EQ(text, "8/p7/8/3pP3/8/8/7P/8 w - d6 0 1");
    // Read back, the text gives the same position.
    auto again = startPosition();
    std::string error;
    ASSERT_TRUE(setPositionFromFen(*again, text, error)) << error;
    EXPECT_EQ(again->pawns[WHITE], ep->pawns[WHITE]);
    EXPECT_EQ(again->pawns[BLACK], ep->pawns[BLACK]);
    EXPECT_EQ(again->epSquares[0], sq("d6"));
    EXPECT_EQ(again->hashKeys[0], ep->hashKeys[ep->ply]);
}

}  // namespace
