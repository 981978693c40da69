// Squares, bit tables, move codes and principal-variation lines.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "board_support.h"
#include "board/moves.h"

using namespace boardtest;

namespace {

class BitTables : public ::testing::Test {
protected:
    void SetUp() override { initBitTables(); }
};

TEST_F(BitTables, EveryChunkValueCountsAndScansCorrectly) {
    for (unsigned v = 0; v < 65536; ++v) {
        ASSERT_EQ(POPCOUNT16[v], std::popcount(v)) << v;
        unsigned expected = v == 0 ? 16u : static_cast<unsigned>(std::countr_zero(v));
        ASSERT_EQ(LOWEST_BIT16[v], expected) << v;
    }
}

TEST_F(BitTables, SecondBuildChangesNothing) {
    std::uint8_t before = LOWEST_BIT16[0];
    initBitTables();
    EXPECT_EQ(LOWEST_BIT16[0], before);
    EXPECT_EQ(LOWEST_BIT16[0], 16);
    EXPECT_EQ(POPCOUNT16[0xffff], 16);
}

TEST_F(BitTables, ScanAndCountOfChosenSets) {
    struct Case {
        Bitboard set;
        int lowest;
        int count;
    } cases[] = {
        {0, NO_SQUARE, 0},
        {~Bitboard{0}, 0, 64},
        {Bitboard{1} << 63, 63, 1},
        {(Bitboard{1} << 17) | (Bitboard{1} << 40), 17, 2},
        {Bitboard{1} << 32, 32, 1},                        // first square of the high half
        {Bitboard{1} << 16, 16, 1},                        // chunk boundaries
        {Bitboard{1} << 48, 48, 1},
        {(Bitboard{1} << 47) | (Bitboard{1} << 63), 47, 2},
        {0xffff000000000000ULL, 48, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lowestSquare(c.set), c.lowest) << std::hex << c.set;
        EXPECT_EQ(popCount(c.set), c.count) << std::hex << c.set;
    }
}

TEST_F(BitTables, RandomSetsAgreeWithTheLibrary) {
    std::mt19937_64 rng(12345);
    for (int i = 0; i < 20000; ++i) {
        // Sparse sets too, so that every chunk is often empty.
        Bitboard b = rng() & rng() & rng();
        if (i % 3 == 0) b &= rng();
        ASSERT_EQ(popCount(b), std::popcount(b)) << std::hex << b;
        ASSERT_EQ(lowestSquare(b), b ? std::countr_zero(b) : 64) << std::hex << b;
    }
}

TEST_F(BitTables, SquareWalkVisitsEverySquareLowestFirst) {
    std::mt19937_64 rng(777);
    std::vector<Bitboard> sets = {0, ~Bitboard{0}, Bitboard{1} << 63, Bitboard{1} << 15,
                                  (Bitboard{1} << 15) | (Bitboard{1} << 16) | (Bitboard{1} << 48),
                                  0x8000000000000001ULL, 0xffff0000ffff0000ULL};
    for (int i = 0; i < 5000; ++i) sets.push_back(rng() & rng() & (i % 2 ? rng() : ~Bitboard{0}));
    for (Bitboard b : sets) {
        std::vector<int> expected, visited;
        for (Bitboard rest = b; rest; rest &= rest - 1) expected.push_back(std::countr_zero(rest));
        forEachSquare(b, [&](int s) { visited.push_back(s); });
        ASSERT_EQ(visited, expected) << std::hex << b;
    }
}

TEST(EdgeMasks, DiagonalShiftsNeverWrapAcrossTheBoard) {
    const Bitboard h4 = Bitboard{1} << sq("h4"), a5 = Bitboard{1} << sq("a5");
    EXPECT_EQ((h4 & NOT_FILE_H) << 1, 0u);          // would be a5
    EXPECT_EQ((a5 >> 1) & NOT_FILE_H, 0u);          // would be h4
    EXPECT_EQ(((Bitboard{1} << sq("a4")) & NOT_FILE_A) << 7, 0u);  // would be h4
    EXPECT_EQ(std::popcount(NOT_FILE_A), 56);
    EXPECT_EQ(std::popcount(NOT_FILE_H), 56);
    EXPECT_EQ(NOT_FILE_A & 0x0101010101010101ULL, 0u);
    EXPECT_EQ(NOT_FILE_H & 0x8080808080808080ULL, 0u);
}

TEST(MoveCode, PackedCodesAndTheirFields) {
    struct Case {
        int from, to, capture, doubleStep, enPassant;
        std::int16_t score;
        Move code;
        const char* text;
    } cases[] = {
        {12, 28, 0, 1, 0, 200, 0x4e0c, "e2e4"},
        {35, 44, 1, 0, 1, 600, 0xb623, "d5e6"},  // en passant shows no flag in text
        {8, 16, 0, 0, 0, 0, 0x0808, "a2a3"},
        {8, 24, 0, 1, 0, 200, 0x4c08, "a2a4"},
        {49, 57, 0, 0, 0, 10000, 0x1cb1, "b7b8"},
        {34, 43, 1, 0, 1, 600, 0xb5a2, "c5d6"},
        {36, 43, 1, 0, 1, 600, 0xb5a4, "e5d6"},
        {0, 63, 1, 0, 0, -30000, 0x3f80, "a1h8"},
        {63, 0, 0, 0, 0, -1, 0x003f, "h8a1"},
        // Flags count by their lowest bit only; from and to are masked.
        {12, 28, 2, 3, 4, 0, 0x4e0c, "e2e4"},
        {12 + 128, 28 + 64, 0, 0, 0, 0, 0x0e0c, "e2e4"},
    };
    for (const Case& c : cases) {
        ScoredMove m = packMove(c.from, c.to, c.capture, c.doubleStep, c.enPassant, c.score);
        EXPECT_EQ(m.move, c.code) << c.text;
        EXPECT_EQ(m.score, c.score) << c.text;
        EXPECT_EQ(moveText(m.move), c.text);
        char buffer[5];
        moveText(m.move, buffer);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(moveFrom(m.move), c.from & 0x7f);
        EXPECT_EQ(moveTo(m.move), c.to & 0x3f);
        EXPECT_EQ(isCapture(m.move), (c.capture & 1) == 1);
        EXPECT_EQ(isDoubleStep(m.move), (c.doubleStep & 1) == 1);
        EXPECT_EQ(isEnPassant(m.move), (c.enPassant & 1) == 1);
        EXPECT_FALSE(isNoMove(m.move));
    }
    EXPECT_EQ(sizeof(ScoredMove), 4u);
}

TEST(MoveCode, NoMoveIsJudgedByTheFromFieldAlone) {
    EXPECT_EQ(NO_MOVE, 0x0040);
    const Move forms[] = {NO_MOVE, static_cast<Move>(NO_MOVE | (28 << 7)),
                          static_cast<Move>(NO_MOVE | 0xe000 | (63 << 7)),
                          packMove(64, 5, 1, 1, 1, 0).move};
    for (Move m : forms) {
        EXPECT_TRUE(isNoMove(m)) << std::hex << m;
        EXPECT_EQ(moveText(m), "null") << std::hex << m;
    }
    EXPECT_FALSE(isNoMove(packMove(0, 0, 0, 0, 0, 0).move));
    EXPECT_FALSE(isNoMove(packMove(63, 63, 0, 0, 0, 0).move));
    ScoredMove fresh;
    EXPECT_EQ(fresh.move, NO_MOVE);
    EXPECT_EQ(fresh.score, 0);
    MoveList list;
    EXPECT_EQ(list.count, 0u);
    for (const ScoredMove& m : list.moves) EXPECT_EQ(m.move, NO_MOVE);
}

TEST(MoveCode, CapturedSquare) {
    // Ordinary captures remove the pawn on the to-square, en-passant
    // captures the pawn behind it as seen from the mover.
    EXPECT_EQ(capturedSquare(0xb623, WHITE), sq("e5"));  // d5xe6 e.p.
    EXPECT_EQ(capturedSquare(packMove(sq("e4"), sq("d3"), 1, 0, 1, 0).move, BLACK), sq("d4"));
    EXPECT_EQ(capturedSquare(packMove(sq("d4"), sq("e5"), 1, 0, 0, 0).move, WHITE), sq("e5"));
    EXPECT_EQ(capturedSquare(packMove(sq("d5"), sq("c4"), 1, 0, 0, 0).move, BLACK), sq("c4"));
}

TEST(MoveCode, SameMoveComparesCodesNotScores) {
    const Move e2e4 = packMove(12, 28, 0, 1, 0, 0).move;
    EXPECT_TRUE(sameMove(packMove(12, 28, 0, 1, 0, 5).move, packMove(12, 28, 0, 1, 0, -7).move));
    EXPECT_FALSE(sameMove(packMove(12, 20, 0, 0, 0, 0).move, e2e4));
    EXPECT_FALSE(sameMove(packMove(35, 44, 1, 0, 0, 0).move, packMove(35, 44, 0, 0, 0, 0).move));
    EXPECT_FALSE(sameMove(packMove(35, 44, 1, 0, 1, 0).move, packMove(35, 44, 1, 0, 0, 0).move));
    EXPECT_FALSE(sameMove(packMove(12, 28, 0, 0, 0, 0).move, e2e4));
}

// A child line of n distinct moves with scores, ended by a terminator.
PvLine childOf(unsigned n) {
    PvLine child;
    for (ScoredMove& slot : child.moves) slot = ScoredMove{0x1234, 77};  // junk beyond the end
    for (unsigned i = 0; i < n; ++i)
        child.moves[i] = packMove(8 + static_cast<int>(i), 16 + static_cast<int>(i), 0, 0, 0,
                                  static_cast<std::int16_t>(100 + i));
    if (n <= PV_MAX) child.moves[n] = ScoredMove{static_cast<Move>(NO_MOVE | (9 << 7)), 3};
    child.count = n;
    return child;
}

TEST(PvLine, UpdateBuildsMoveThenChildWithinThirtyMoves) {
    const ScoredMove first = packMove(12, 28, 0, 1, 0, 200);
    for (unsigned n : {0u, 1u, 5u, 28u, 29u, 30u}) {
        SCOPED_TRACE("child of " + std::to_string(n) + " moves");
        const PvLine child = childOf(n);
        PvLine line;
        for (ScoredMove& slot : line.moves) slot = ScoredMove{0x0b0b, -5};  // stale contents
        line.count = 17;
        updatePv(line, first, child);

        const unsigned expected = n + 1 < 30 ? n + 1 : 30;
        ASSERT_EQ(line.count, expected);
        EXPECT_EQ(line.moves[0].move, first.move);
        EXPECT_EQ(line.moves[0].score, first.score);
        for (unsigned i = 1; i < expected; ++i) {
            EXPECT_EQ(line.moves[i].move, child.moves[i - 1].move) << i;
            EXPECT_EQ(line.moves[i].score, child.moves[i - 1].score) << i;
        }
        EXPECT_TRUE(isNoMove(line.moves[expected].move));
        if (n < 30) {
            // The child's own terminator has been copied.
            EXPECT_EQ(line.moves[expected].move, child.moves[n].move);
        } else {
            // The child's thirtieth move is dropped: its slot keeps the
            // other bits and gets the no-move from field.
            EXPECT_EQ(line.moves[30].move, (child.moves[29].move & ~0x7f) | 64);
        }
    }
}

TEST(PvLine, ClearEmptiesEverySlot) {
    PvLine line = childOf(30);
    line.moves[30] = ScoredMove{0x4e0c, 9};
    clearPv(line);
    EXPECT_EQ(line.count, 0u);
    for (const ScoredMove& slot : line.moves) {
        EXPECT_EQ(slot.move, NO_MOVE);
        EXPECT_EQ(slot.score, 0);
    }
}

}  // namespace
