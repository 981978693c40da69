// The engine's turn in a game that a pawn of the side to move has already
// won: "go" or "auto" after the result can ask for it. The move generator
// takes the mover's last rank to be empty, so searching such a position
// stepped a pawn onto its own promoted pawn and broke the pawn set.
#include <gtest/gtest.h>

#include <string>

#include "board/hash.h"
#include "protocol/engine.h"
#include "protocol/engineturn.h"

namespace {

Engine engine;

TEST(DecidedTurn, SideThatHasPromotedMakesNoMove) {
    // The mover's promoted pawn stands right in front of another of its
    // pawns: white a8 and a7 against h2, black a1 and a2 against h7.
    struct Case {
        int side;
        Bitboard white, black;
    };
    for (const Case& c : {Case{WHITE, 0x0101000000000000ULL, 0x8000ULL},
                          Case{BLACK, 0x0080000000000000ULL, 0x0101ULL}}) {
        SCOPED_TRACE(c.side);
        initEngine(engine);
        Position& game = engine.game;
        game.pawns[WHITE] = c.white;
        game.pawns[BLACK] = c.black;
        game.pawnCount[WHITE] = popCount(c.white);
        game.pawnCount[BLACK] = popCount(c.black);
        game.side = c.side;
        game.ply = c.side;  // the side to move follows the ply
        game.epSquares[game.ply] = NO_SQUARE;
        game.hashKeys[game.ply] = computeHash(game.pawns, c.side, NO_SQUARE);
        const Position before = engine.game;
        engine.gameOver = true;
        engine.engineSide = engine.game.side;
        engine.depthLimited = true;
        engine.maxDepth = 2;

        testing::internal::CaptureStdout();
        engineTurn(engine);
        const std::string out = testing::internal::GetCapturedStdout();

        EXPECT_EQ(out.find("move "), std::string::npos) << out;
        EXPECT_EQ(engine.engineSide, NO_SIDE);
        EXPECT_EQ(engine.game.ply, before.ply);
        EXPECT_EQ(engine.game.pawns[WHITE], before.pawns[WHITE]);
        EXPECT_EQ(engine.game.pawns[BLACK], before.pawns[BLACK]);
        releaseEngine(engine);
    }
}

}  // namespace
