#include <gtest/gtest.h>

#include <string>

#include "board/fen.h"
#include "search/evaluate.h"

namespace {

Position fromFen(const std::string& fen) {
    static Position pos;
    initPosition(pos);
    initEvalMasks();
    std::string error;
    EXPECT_TRUE(setPositionFromFen(pos, fen, error)) << error;
    return pos;
}

// Swaps colours and mirrors ranks: the same position seen from the other side.
std::string mirrored(const Position& pos) {
    Position m = pos;
    m.pawns[WHITE] = m.pawns[BLACK] = 0;
    for (int side = WHITE; side <= BLACK; ++side)
        for (Bitboard b = pos.pawns[side]; b; b &= b - 1) {
            int sq = lowestSquare(b);
            m.pawns[side ^ 1] |= squareBit((7 - rankOf(sq)) * 8 + fileOf(sq));
        }
    m.side = pos.side ^ 1;
    m.ply = 0;
    m.epSquares[0] = NO_SQUARE;
    return positionToFen(m);
}

}  // namespace

TEST(Evaluate, MasksMatchTheirDefinitions) {
    initEvalMasks();
    auto squares = [](std::initializer_list<const char*> names) {
        Bitboard b = 0;
        for (const char* n : names) b |= squareBit((n[0] - 'a') + 8 * (n[1] - '1'));
        return b;
    };
    EXPECT_EQ(PASSED_MASK[WHITE][12],
              squares({"d3", "e3", "f3", "d4", "e4", "f4", "d5", "e5", "f5", "d6", "e6",
                       "f6", "d7", "e7", "f7"}));
    EXPECT_EQ(SUPPORT_MASK[WHITE][28], squares({"d2", "f2", "d3", "f3", "d4", "f4"}));
    EXPECT_EQ(SUPPORT_MASK[BLACK][36], squares({"d5", "f5", "d6", "f6", "d7", "f7"}));
    EXPECT_EQ(SUPPORT_MASK[WHITE][44], 0u);
    EXPECT_EQ(PASSED_MASK[WHITE][8], squares({"a3", "b3", "a4", "b4", "a5", "b5", "a6", "b6", "a7", "b7"}));
    EXPECT_EQ(PASSED_MASK[WHITE][49], 0u);
    EXPECT_EQ(PASSED_MASK[BLACK][55], squares({"g2", "h2", "g3", "h3", "g4", "h4", "g5", "h5", "g6", "h6"}));
}

// Positional scores of worked positions: evaluatePawns for White, which is
// S[WHITE] - S[BLACK], and the same position mirrored gives the negation.
TEST(Evaluate, PawnStructureScores) {
    struct Case {
        const char* fen;
        int white;  // evaluatePawns(WHITE, BLACK)
    } cases[] = {
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1", 0},
        {"8/pppppppp/8/8/4P3/8/PPPP1PPP/8 b - - 0 1", 4},
        {"8/pp6/8/4P3/8/8/8/8 w - - 0 1", 14},           // e5 22, a7 and b7 4 each
        {"8/6pp/8/2p5/2P5/8/P6P/8 w - - 0 1", -8},       // S = (-4, 4)
        {"8/5p2/8/3p4/3PP3/8/8/8 w - - 0 1", 16},        // S = (8, -8)
        {"8/1P6/8/8/8/8/8/8 w - - 0 1", 24},             // passed on b7, no advancement weight
        {"8/8/1P6/8/8/8/8/8 w - - 0 1", 28},             // passed on b6: 8 + 20
        {"8/3p1p2/4P3/8/8/8/8/8 w - - 0 1", 8 - 4 - 2 * (-12)},  // e6 not passed: penalty -4
        // Doubled e-pawns held back by f7: e4 and e3 are both unsupported and
        // penalised (-8, -10), e3 although a friendly pawn stands ahead of it;
        // a7 is passed (+4), f7 unsupported (-12).
        {"8/p4p2/8/8/4P3/4P3/8/8 w - - 0 1", (4 + 2 - 8 - 10) - (4 - 12)},
        // Facing pawns: neither is penalised when the enemy stands right ahead.
        {"8/8/8/4p3/4P3/8/8/8 w - - 0 1", 0},
        {"8/4p3/8/8/8/4P3/8/8 w - - 0 1", (2 - 10) - (-12)},
    };
    for (const Case& c : cases) {
        Position pos = fromFen(c.fen);
        EXPECT_EQ(evaluatePawns(pos, WHITE, BLACK), c.white) << c.fen;
        EXPECT_EQ(evaluatePawns(pos, BLACK, WHITE), -c.white) << c.fen;
        Position m = fromFen(mirrored(pos));
        EXPECT_EQ(evaluatePawns(m, BLACK, WHITE), c.white) << mirrored(pos);
    }
}

TEST(Evaluate, LazyExitsAndClamp) {
    // One white pawn against two black: -100 + 14 with a wide window.
    Position pos = fromFen("8/pp6/8/4P3/8/8/8/8 w - - 0 1");
    EXPECT_EQ(evaluate(pos, WHITE, BLACK, -29936, 29936), -86);
    // One pawn down with a narrow window: material + 80, without the structure.
    EXPECT_EQ(evaluate(pos, WHITE, BLACK, -20, 20), -20);
    // One pawn up: material - 80 >= beta.
    EXPECT_EQ(evaluate(pos, BLACK, WHITE, -20, 20), 20);
    // Equal material: the positional term is clamped to the margin.
    Position far = fromFen("8/8/1P1P1P1P/8/8/8/pppp4/8 w - - 0 1");
    int p = evaluatePawns(far, WHITE, BLACK);
    ASSERT_NE(p, 0);
    int clamped = p > 80 ? 80 : p < -80 ? -80 : p;
    EXPECT_EQ(evaluate(far, WHITE, BLACK, -29936, 29936), clamped);
    EXPECT_EQ(evaluate(far, BLACK, WHITE, -29936, 29936), -clamped);
    // A score outside a narrow window is still returned (fail high).
    Position e4 = fromFen("8/pppppppp/8/8/4P3/8/PPPP1PPP/8 b - - 0 1");
    EXPECT_EQ(evaluate(e4, WHITE, BLACK, -2, 2), 4);
}
