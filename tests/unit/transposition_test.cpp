#include <gtest/gtest.h>

#include "search/transposition.h"

namespace {

// A table of 16 buckets; keys (i << 32 | b) all fall in bucket b.
struct SmallTable : ::testing::Test {
    TranspositionTable* tt = createTT(64);
    ~SmallTable() override { releaseTT(tt); }
    static std::uint64_t key(std::uint64_t i, std::uint64_t bucket = 3) { return (i << 32) | bucket; }
    const TTEntry& slot(int i, int bucket = 3) const { return tt->entries[bucket * TT_WAYS + i]; }
};

ScoredMove move(Move m, int score = 0) { return ScoredMove{m, static_cast<std::int16_t>(score)}; }

}  // namespace

TEST_F(SmallTable, CreatedEmptyAndAligned) {
    ASSERT_NE(tt, nullptr);
    EXPECT_EQ(tt->size, 64u);
    EXPECT_EQ(tt->used, 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(tt->entries) % 64, 0u);
    int alpha = -100, beta = 100;
    ScoredMove hash = move(0x1234);
    EXPECT_EQ(probeTT(*tt, key(7), alpha, beta, 0, hash), NO_CUTOFF);
    EXPECT_EQ(hash.move, 0x1234);
    EXPECT_TRUE(isNoMove(lookupMoveTT(*tt, key(7)).move));
}

TEST_F(SmallTable, FillsInSlotOrderThenReplacesOldestShallowest) {
    // Ages and depths: values age * 32 - depth = 2011, 1983, 2011, 2000.
    const int age[4] = {63, 62, 63, 63}, depth[4] = {5, 1, 5, 16};
    for (int i = 0; i < 4; ++i) storeTT(*tt, key(i + 1), 10 * i, BOUND_EXACT, depth[i], age[i], move(0x100 + i));
    EXPECT_EQ(tt->used, 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(slot(i).keyHi, static_cast<std::uint32_t>(i + 1));
    // A fifth key goes over the first of the greatest values: slot 0.
    storeTT(*tt, key(9), 99, BOUND_LOWER, 3, 63, move(0x200));
    EXPECT_EQ(tt->used, 4u);
    EXPECT_EQ(slot(0).keyHi, 9u);
    EXPECT_EQ(slot(0).score, 99);
    EXPECT_EQ(slot(0).info, BOUND_LOWER | (3 << 2) | (63 << 7));
    EXPECT_EQ(entryBound(slot(0)), BOUND_LOWER);
    EXPECT_EQ(entryDepth(slot(0)), 3);
    EXPECT_EQ(entryAge(slot(0)), 63);
    EXPECT_EQ(slot(0).move.move, 0x200);
    // A key already held is overwritten in place once the bucket is full.
    storeTT(*tt, key(2), -5, BOUND_EXACT, 2, 60, move(0x300));
    EXPECT_EQ(slot(1).score, -5);
    EXPECT_EQ(slot(1).move.move, 0x300);
}

TEST_F(SmallTable, SameKeyTakesTheNextEmptySlotWhileThereIsOne) {
    storeTT(*tt, key(5), 1, BOUND_EXACT, 4, 63, move(0x11));
    storeTT(*tt, key(5), 2, BOUND_EXACT, 4, 63, move(0x22));
    EXPECT_EQ(tt->used, 2u);
    int alpha = -100, beta = 100;
    ScoredMove hash{};
    EXPECT_EQ(probeTT(*tt, key(5), alpha, beta, 1, hash), 1);  // slot 0 is found first
    EXPECT_EQ(lookupMoveTT(*tt, key(5)).move, 0x11);
}

TEST_F(SmallTable, ProbeNarrowsOrCuts) {
    struct Case {
        int bound, score, depthStored, depthAsked, result, alpha, beta;
    } cases[] = {
        {BOUND_EXACT, 40, 5, 5, 40, -100, 100},
        {BOUND_EXACT, 40, 4, 5, NO_CUTOFF, -100, 100},  // too shallow
        {BOUND_UPPER, -100, 5, 3, -100, -100, 100},     // s <= alpha cuts
        {BOUND_UPPER, 30, 5, 3, NO_CUTOFF, -100, 30},   // lowers beta
        {BOUND_UPPER, 300, 5, 3, NO_CUTOFF, -100, 100}, // beta kept
        {BOUND_LOWER, 100, 5, 3, 100, -100, 100},       // s >= beta cuts
        {BOUND_LOWER, -20, 5, 3, NO_CUTOFF, -20, 100},  // raises alpha
        {BOUND_LOWER, -300, 5, 3, NO_CUTOFF, -100, 100},
        {BOUND_EXACT, -29999, 5, 3, NO_CUTOFF, -100, 100},  // indistinguishable from no cutoff
        {BOUND_EXACT, 7, 33, 2, NO_CUTOFF, -100, 100},  // depth 33 is kept as 1
    };
    for (const Case& c : cases) {
        TranspositionTable* t = createTT(64);
        storeTT(*t, key(1), c.score, c.bound, c.depthStored, 63, move(0x77, 5));
        int alpha = -100, beta = 100;
        ScoredMove hash{};
        EXPECT_EQ(probeTT(*t, key(1), alpha, beta, c.depthAsked, hash), c.result) << c.bound << " " << c.score;
        EXPECT_EQ(alpha, c.alpha);
        EXPECT_EQ(beta, c.beta);
        EXPECT_EQ(hash.move, 0x77);  // the stored move comes back even without a cutoff
        EXPECT_EQ(hash.score, 5);
        releaseTT(t);
    }
}

TEST_F(SmallTable, KeyZeroLooksEmpty) {
    storeTT(*tt, 0, 12, BOUND_EXACT, 3, 63, move(0x55));
    EXPECT_EQ(tt->used, 1u);
    storeTT(*tt, 0, 13, BOUND_EXACT, 3, 63, move(0x56));
    EXPECT_EQ(tt->used, 2u);  // slot 0 still looked empty and took the store again
    EXPECT_EQ(lookupMoveTT(*tt, 0).move, 0x56);
    EXPECT_EQ(tt->entries[1].info, 0);
}

TEST(TranspositionTable, FullSizeIsOneBlockOf128MiB) {
    TranspositionTable* tt = createTT();
    ASSERT_NE(tt, nullptr);
    EXPECT_EQ(tt->size, TT_SIZE);
    EXPECT_EQ(std::uint64_t{tt->size} * sizeof(TTEntry), 134217728u);
    // Keys that differ only above bit 21 share a bucket.
    EXPECT_EQ(bucketOf(*tt, 0x12345), bucketOf(*tt, 0x12345 | (std::uint64_t{1} << 21)));
    EXPECT_EQ(bucketOf(*tt, 0x12345), tt->entries + 0x12345 * TT_WAYS);
    releaseTT(tt);
}
