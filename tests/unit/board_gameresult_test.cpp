// The result of a game: won by reaching the last rank or by taking the last
// pawn, drawn when the side to move has pawns but no move, otherwise going
// on.
#include <gtest/gtest.h>

#include "board_support.h"
#include "board/gameresult.h"

using namespace boardtest;

namespace {

const char* resultName(GameResult r) {
    switch (r) {
        case GameResult::ONGOING: return "ongoing";
        case GameResult::WHITE_WINS: return "white wins";
        case GameResult::BLACK_WINS: return "black wins";
        case GameResult::DRAW: return "draw";
    }
    return "?";
}

TEST(GameResult, TableOfPositions) {
    struct Case {
        const char* name;
        Squares white, black;
        int side;
        const char* ep;
        GameResult result;
    } cases[] = {
        {"start position", {"a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2"},
         {"a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7"}, WHITE, nullptr, GameResult::ONGOING},
        {"white pawn reached rank 8", {"b8"}, {"a7"}, BLACK, nullptr, GameResult::WHITE_WINS},
        {"white pawn reached rank 8 on the h-file", {"h8", "a2"}, {"a7", "g7"}, BLACK, nullptr,
         GameResult::WHITE_WINS},
        {"black pawn reached rank 1", {"a2"}, {"a1", "h7"}, WHITE, nullptr, GameResult::BLACK_WINS},
        {"white took the last black pawn", {"d5"}, {}, BLACK, nullptr, GameResult::WHITE_WINS},
        {"black took the last white pawn", {}, {"e4", "a7"}, WHITE, nullptr, GameResult::BLACK_WINS},
        // The win counts before the loser's lack of moves.
        {"rank 8 reached and Black blocked", {"a8", "c4"}, {"c5"}, BLACK, nullptr,
         GameResult::WHITE_WINS},
        // A side without pawns has lost only when it is to move.
        {"Black without pawns, White to move", {"a2", "e4"}, {}, WHITE, nullptr, GameResult::ONGOING},
        {"White blocked, White to move", {"a4"}, {"a5"}, WHITE, nullptr, GameResult::DRAW},
        {"Black blocked, Black to move", {"c4", "h5"}, {"c5", "h6"}, BLACK, nullptr, GameResult::DRAW},
        {"White blocked but with a capture", {"a4"}, {"a5", "b5"}, WHITE, nullptr, GameResult::ONGOING},
        {"White blocked but for en passant", {"e5"}, {"e6", "d5"}, WHITE, "d6", GameResult::ONGOING},
        {"Black blocked but for en passant", {"e4", "d3"}, {"d4"}, BLACK, "e3", GameResult::ONGOING},
        {"White's only move a promotion", {"a4", "h7"}, {"a5"}, WHITE, nullptr, GameResult::ONGOING},
        // Only moves played after a finished game reach a position in which
        // the side to move has a pawn on its own last rank; the rules judge
        // it like any other.
        {"White to move with a pawn on rank 8, blocked elsewhere", {"a8", "c4"}, {"c5"}, WHITE,
         nullptr, GameResult::DRAW},
    };
    for (const Case& c : cases) {
        const int ep = c.ep == nullptr ? NO_SQUARE : sq(c.ep);
        auto pos = placed(c.white, c.black, c.side, ep);
        EXPECT_EQ(resultName(gameResult(*pos)), std::string(resultName(c.result))) << c.name;
        const bool won = c.result == GameResult::WHITE_WINS || c.result == GameResult::BLACK_WINS;
        EXPECT_EQ(isGameOver(*pos), won) << c.name;

        // The last ply of the stacks has no move list; the result there
        // comes from the same rules.
        pos->epSquares[MAX_PLY] = ep;
        pos->ply = MAX_PLY;
        EXPECT_EQ(resultName(gameResult(*pos)), std::string(resultName(c.result)))
            << c.name << " at ply " << MAX_PLY;
    }
}

}  // namespace
