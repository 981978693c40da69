// The hot paths of the search compute set-wise what the board model defines
// square by square. These tests hold them to the square-by-square
// definitions on many random pawn placements, weird ones included (pawns on
// the first and last ranks, a side without pawns).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "board/moves.h"
#include "board/position.h"
#include "search/evaluate.h"

namespace {

// A small fixed-seed generator, so that a failure repeats.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

// Two disjoint pawn sets: sparse, dense, and restricted to the playing ranks.
void randomPawns(Random& random, Position& pos, int shape) {
    Bitboard a = random.next(), b = random.next();
    if (shape % 3 == 0) { a &= random.next() & random.next(); b &= random.next() & random.next(); }
    if (shape % 3 == 1) { a &= random.next(); b &= random.next(); }
    if (shape % 4 == 3) { a &= 0x00ffffffffffff00ULL; b &= 0x00ffffffffffff00ULL; }
    if (shape % 17 == 5) a = 0;
    pos.pawns[WHITE] = a & ~b;
    pos.pawns[BLACK] = b;
    pos.pawnCount[WHITE] = popCount(pos.pawns[WHITE]);
    pos.pawnCount[BLACK] = popCount(pos.pawns[BLACK]);
}

// S[s] read straight from the masks, one pawn at a time.
int referenceSideScore(const Position& pos, int s) {
    const Bitboard own = pos.pawns[s], enemy = pos.pawns[s ^ 1];
    int score = 0;
    for (int rho = 2; rho <= 5; ++rho)
        score += 2 * (rho - 1) * popCount(own & rankMask(s == WHITE ? rho : 7 - rho));
    for (Bitboard b = own; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const int rho = s == WHITE ? rankOf(q) : 7 - rankOf(q);
        if ((PASSED_MASK[s][q] & enemy) == 0) {
            score += 4 * rho;
        } else if ((SUPPORT_MASK[s][q] & own) == 0 &&
                   (enemy & squareBit(q + PUSH[s])) == 0) {
            score += 2 * rho - 14;
        }
    }
    return score;
}

}  // namespace

TEST(FastPaths, PawnStructureMatchesTheMaskRules) {
    initBitTables();
    initEvalMasks();
    static Position pos;
    Random random{0x9e3779b97f4a7c15ULL};
    for (int i = 0; i < 200000; ++i) {
        randomPawns(random, pos, i);
        const int white = referenceSideScore(pos, WHITE), black = referenceSideScore(pos, BLACK);
        ASSERT_EQ(evaluatePawns(pos, WHITE, BLACK), white - black)
            << std::hex << pos.pawns[WHITE] << " / " << pos.pawns[BLACK];
        ASSERT_EQ(evaluatePawns(pos, BLACK, WHITE), black - white)
            << std::hex << pos.pawns[WHITE] << " / " << pos.pawns[BLACK];
    }
}

TEST(FastPaths, SquareWalkVisitsLowestFirstLikeLowestSquare) {
    initBitTables();
    Random random{12345};
    for (int i = 0; i < 20000; ++i) {
        Bitboard b = random.next();
        if (i % 2) b &= random.next() & random.next();
        if (i % 5 == 0) b &= 0xffff000000000000ULL;  // only the highest chunk
        if (i == 0) b = 0;
        std::vector<int> expected, walked;
        for (Bitboard c = b; c; c &= c - 1) expected.push_back(lowestSquare(c));
        forEachSquare(b, [&](int sq) { walked.push_back(sq); });
        ASSERT_EQ(walked, expected) << std::hex << b;
    }
}

TEST(FastPaths, EmptiedLinesReadLikeClearedOnes) {
    PvLine line;
    for (std::uint32_t i = 0; i <= PV_MAX; ++i) line.moves[i] = ScoredMove{static_cast<Move>(i + 1), 7};
    line.count = PV_MAX;
    clearPv(line);
    EXPECT_EQ(line.count, 0u);
    for (const ScoredMove& slot : line.moves) {
        EXPECT_EQ(slot.move, NO_MOVE);
        EXPECT_EQ(slot.score, 0);
    }
    // A reset line carries the same first slot; a parent copying it stops
    // there, as it would at the terminator of a cleared line.
    PvLine child, parent;
    for (ScoredMove& slot : child.moves) slot = ScoredMove{0x0a1b, 5};
    child.count = 3;
    resetPv(child);
    updatePv(parent, ScoredMove{0x0808, 1}, child);
    EXPECT_EQ(child.count, 0u);
    EXPECT_EQ(parent.count, 1u);
    EXPECT_EQ(parent.moves[1].move, NO_MOVE);
    EXPECT_EQ(parent.moves[1].score, 0);
}
