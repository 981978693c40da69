// Position keys: the drawing of the 113 keys, their places in the tables,
// the full key and its incremental update.
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <set>

#include "board_support.h"

using namespace boardtest;

namespace {

TEST(HashKeys, PackingOfFiveDraws) {
    struct Case {
        unsigned r1, r2, r3, r4, r5;
        std::uint64_t key;
        int bits;
    } cases[] = {
        {1, 2, 3, 4, 0x2345, 0x50008000C0010001ULL, 7},
        {0x7fff, 0, 0, 0, 0x7fff, 0xF000000000007FFFULL, 19},
        {0, 0, 0x7fff, 0, 0, 0x00001FFFC0000000ULL, 15},  // straddles the halves
        {0, 0x7fff, 0, 0x7fff, 0, 0x0FFFE0003FFF8000ULL, 30},
        {0x18000, 0xffff8000u, 0x8000, 0x8000, 0x10, 0, 0},  // only the low 15 bits count
        {0x7fff, 0x7fff, 0x7fff, 0x7fff, 0x7fff, ~std::uint64_t{0}, 64},
    };
    for (const Case& c : cases) {
        std::uint64_t key = packKey(c.r1, c.r2, c.r3, c.r4, c.r5);
        EXPECT_EQ(key, c.key) << std::hex << c.r1 << " " << c.r2 << " " << c.r3 << " " << c.r4
                              << " " << c.r5;
        EXPECT_EQ(std::popcount(key), c.bits);
    }
}

// glibc's rand() (the TYPE_3 additive generator behind srand/rand), written
// out from its documented recurrence so that the keys can be drawn again on
// any platform: 34 seeded words, then r[i] = r[i-31] + r[i-3] modulo 2^32,
// the first 310 outputs thrown away, each output r[i] >> 1.
class GlibcRand {
public:
    explicit GlibcRand(std::uint32_t seed) {
        std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1 : seed);
        r_[0] = static_cast<std::uint32_t>(word);
        for (int i = 1; i < 31; ++i) {
            // 16807 * word mod (2^31 - 1), by Schrage's method as glibc does.
            const std::int32_t hi = word / 127773, lo = word % 127773;
            word = 16807 * lo - 2836 * hi;
            if (word < 0) word += 2147483647;
            r_[i] = static_cast<std::uint32_t>(word);
        }
        for (int i = 31; i < 34; ++i) r_[i] = r_[i - 31];
        next_ = 34;
        for (int i = 0; i < 310; ++i) (void)draw();
    }
    unsigned draw() {
        const std::uint32_t value = r_[(next_ - 31) % SIZE] + r_[(next_ - 3) % SIZE];
        r_[next_ % SIZE] = value;
        ++next_;
        return value >> 1;
    }

private:
    static constexpr unsigned SIZE = 34;
    std::uint32_t r_[SIZE];
    unsigned next_;
};

TEST(HashKeys, GlibcRecurrenceGivesTheLibrarysFirstDraws) {
    // srand(1) and srand(HASH_SEED), read off glibc.
    GlibcRand one(1);
    for (unsigned expected : {1804289383u, 846930886u, 1681692777u, 1714636915u})
        EXPECT_EQ(one.draw(), expected);
    GlibcRand seeded(HASH_SEED);
    unsigned r[5];
    for (unsigned& v : r) v = seeded.draw();
    EXPECT_EQ(packKey(r[0], r[1], r[2], r[3], r[4]), 0xed86e0a404cc61eaULL);
}

// The keys drawn again from the seeded generator, step by step: up to ten
// candidates per key, the first one inside the window of 24..40 set bits
// wins, else the earliest one nearest to it.
std::vector<std::uint64_t> referenceKeys() {
    GlibcRand rng(HASH_SEED);
    std::vector<std::uint64_t> keys;
    for (int k = 0; k < 113; ++k) {
        std::uint64_t saved = 0;
        int best = 24;
        bool found = false;
        for (int tries = 0; tries < 10 && !found; ++tries) {
            std::uint64_t r[5];
            for (std::uint64_t& v : r) v = rng.draw() & 0x7fff;
            std::uint64_t candidate = r[0] | r[1] << 15 | r[2] << 30 | r[3] << 45 | r[4] << 60;
            int bits = std::popcount(candidate);
            if (bits >= 24 && bits <= 40) {
                saved = candidate;
                found = true;
            } else {
                int distance = bits < 24 ? 24 - bits : bits - 40;
                if (distance < best) {
                    best = distance;
                    saved = candidate;
                }
            }
        }
        keys.push_back(saved);
    }
    return keys;
}

class HashTables : public ::testing::Test {
protected:
    void SetUp() override { initHashKeys(); }
};

TEST_F(HashTables, KeysComeFromTheSeedAndFillTheirSlotsInOrder) {
    const std::vector<std::uint64_t> expected = referenceKeys();
    EXPECT_EQ(std::vector<std::uint64_t>(DRAWN_KEYS.begin(), DRAWN_KEYS.end()), expected);
    int k = 0;
    for (int side : {WHITE, BLACK})
        for (int s = 8; s <= 55; ++s) EXPECT_EQ(PAWN_KEYS[side][s], expected[k++]) << side << " " << s;
    EXPECT_EQ(SIDE_KEY, expected[k++]);
    for (int s = 16; s <= 23; ++s) EXPECT_EQ(EP_KEYS[s], expected[k++]) << s;
    for (int s = 40; s <= 47; ++s) EXPECT_EQ(EP_KEYS[s], expected[k++]) << s;
    ASSERT_EQ(k, KEY_COUNT);
}

// A few keys as glibc's own rand() gave them, so that a fault shared by the
// recurrence above and the written-out table still shows.
TEST_F(HashTables, KeysOfTheGlibcGenerator) {
    struct Case {
        const char* name;
        std::uint64_t key, expected;
    } cases[] = {
        {"first key, white a2", PAWN_KEYS[WHITE][8], 0xed86e0a404cc61eaULL},
        {"white e2", PAWN_KEYS[WHITE][12], 0x9111a6d5fd5a494dULL},
        {"black a2", PAWN_KEYS[BLACK][8], 0xeb4ba64c91e331a9ULL},
        {"black e7", PAWN_KEYS[BLACK][52], 0x32664ab7c0b40691ULL},
        {"side", SIDE_KEY, 0x3107425e293e9dd8ULL},
        {"en passant e3", EP_KEYS[20], 0x745299f351340ac1ULL},
        {"last key, en passant h6", EP_KEYS[47], 0x9f54f43a6ebe33aeULL},
        {"start position", startPosition()->hashKeys[0], 0x106f5802bf233abeULL},
    };
    for (const Case& c : cases) EXPECT_EQ(c.key, c.expected) << c.name << std::hex << " " << c.key;
}

TEST_F(HashTables, UnusedSlotsAreZeroAndUsedKeysAreDistinctAndBalanced) {
    std::set<std::uint64_t> seen;
    auto check = [&](std::uint64_t key) {
        EXPECT_GE(popCount(key), POPCOUNT_LOW) << std::hex << key;
        EXPECT_LE(popCount(key), POPCOUNT_HIGH) << std::hex << key;
        EXPECT_TRUE(seen.insert(key).second) << "repeated key " << std::hex << key;
    };
    for (int side : {WHITE, BLACK}) {
        for (int s = 0; s < 64; ++s) {
            if (s < 8 || s > 55) {
                EXPECT_EQ(PAWN_KEYS[side][s], 0u) << side << " " << s;
            } else {
                check(PAWN_KEYS[side][s]);
            }
        }
    }
    check(SIDE_KEY);
    for (int s = 0; s < 64; ++s) {
        if ((s >= 16 && s <= 23) || (s >= 40 && s <= 47)) {
            check(EP_KEYS[s]);
        } else {
            EXPECT_EQ(EP_KEYS[s], 0u) << s;
        }
    }
    EXPECT_EQ(seen.size(), 113u);
}

TEST_F(HashTables, ReinitialisingGivesTheSameKeys) {
    const std::uint64_t side = SIDE_KEY, e2 = PAWN_KEYS[WHITE][12], h3 = EP_KEYS[23];
    std::srand(4711);
    (void)std::rand();
    initHashKeys();
    EXPECT_EQ(SIDE_KEY, side);
    EXPECT_EQ(PAWN_KEYS[WHITE][12], e2);
    EXPECT_EQ(EP_KEYS[23], h3);
}

TEST_F(HashTables, FullKeyIsTheXorOfItsParts) {
    auto pos = startPosition();
    std::uint64_t expected = 0;
    for (int s = 8; s <= 15; ++s) expected ^= PAWN_KEYS[WHITE][s];
    for (int s = 48; s <= 55; ++s) expected ^= PAWN_KEYS[BLACK][s];
    EXPECT_EQ(pos->hashKeys[0], expected);
    EXPECT_EQ(computeHash(pos->pawns, 0, NO_SQUARE), expected);
    EXPECT_EQ(computeHash(pos->pawns, 1, NO_SQUARE), expected ^ SIDE_KEY);
    EXPECT_EQ(computeHash(pos->pawns, BLACK, sq("e3")), expected ^ SIDE_KEY ^ EP_KEYS[20]);
    // Swapping the colours changes the key.
    const Bitboard swapped[2] = {pos->pawns[BLACK], pos->pawns[WHITE]};
    EXPECT_NE(computeHash(swapped, 0, NO_SQUARE), expected);
}

TEST_F(HashTables, IncrementalKeysAfterChosenMoves) {
    // e2e4 with no black pawn beside e4.
    auto pos = startPosition();
    const std::uint64_t start = pos->hashKeys[0];
    play(*pos, {"e2e4"});
    EXPECT_EQ(pos->hashKeys[1], start ^ PAWN_KEYS[WHITE][12] ^ PAWN_KEYS[WHITE][28] ^ SIDE_KEY);
    EXPECT_EQ(pos->hashKeys[1], computeHash(pos->pawns, 1, NO_SQUARE));

    // A double step that sets an en-passant square adds its key; the next
    // move removes it again.
    auto ep = placed({"e2", "a2"}, {"d4", "h7"});
    const std::uint64_t k0 = ep->hashKeys[0];
    play(*ep, {"e2e4"});
    EXPECT_EQ(ep->hashKeys[1], k0 ^ PAWN_KEYS[WHITE][12] ^ PAWN_KEYS[WHITE][28] ^ SIDE_KEY ^ EP_KEYS[20]);
    play(*ep, {"h7h6"});
    EXPECT_EQ(ep->hashKeys[2],
              ep->hashKeys[1] ^ PAWN_KEYS[BLACK][55] ^ PAWN_KEYS[BLACK][47] ^ SIDE_KEY ^ EP_KEYS[20]);
    EXPECT_EQ(ep->hashKeys[2], computeHash(ep->pawns, 0, NO_SQUARE));

    // A double step answered by a double step beside an enemy: the old
    // square's key goes, the new one's comes.
    auto twice = placed({"e2", "g5"}, {"d4", "h7"});
    play(*twice, {"e2e4", "h7h5"});
    EXPECT_EQ(twice->epSquares[2], sq("h6"));
    EXPECT_EQ(twice->hashKeys[2], twice->hashKeys[1] ^ PAWN_KEYS[BLACK][55] ^ PAWN_KEYS[BLACK][39] ^
                                      SIDE_KEY ^ EP_KEYS[20] ^ EP_KEYS[47]);
    EXPECT_EQ(twice->hashKeys[2], computeHash(twice->pawns, 0, sq("h6")));

    // e5xd6 en passant removes the black pawn of d5, not of d6.
    auto capture = placed({"e5"}, {"d7", "a7"}, BLACK);
    play(*capture, {"d7d5"});
    ASSERT_EQ(capture->epSquares[1], 43);
    const std::uint64_t before = capture->hashKeys[1];
    play(*capture, {"e5d6"});
    EXPECT_EQ(capture->hashKeys[2], before ^ PAWN_KEYS[BLACK][35] ^ PAWN_KEYS[WHITE][36] ^
                                        PAWN_KEYS[WHITE][43] ^ SIDE_KEY ^ EP_KEYS[43]);
    EXPECT_EQ(capture->hashKeys[2], computeHash(capture->pawns, capture->side, NO_SQUARE));

    // Black's en passant on the a-file.
    auto edge = placed({"a2"}, {"b4"});
    play(*edge, {"a2a4", "b4a3"});
    EXPECT_EQ(edge->hashKeys[2], computeHash(edge->pawns, 0, NO_SQUARE));
    EXPECT_EQ(edge->pawns[WHITE], 0u);
}

TEST_F(HashTables, PromotionDropsThePromotedPawnFromTheKey) {
    auto pos = placed({"b7", "d2"}, {"h7"});
    play(*pos, {"b7b8"});
    const Bitboard withoutPromoted[2] = {Bitboard{1} << sq("d2"), pos->pawns[BLACK]};
    EXPECT_EQ(pos->hashKeys[1], computeHash(withoutPromoted, 1, NO_SQUARE));
    EXPECT_EQ(pos->hashKeys[1], computeHash(pos->pawns, 1, NO_SQUARE));
}

TEST_F(HashTables, TranspositionsMeetOnOneKey) {
    struct Pair {
        Squares first, second;
    } pairs[] = {
        {{"e2e3", "a7a6", "d2d3", "b7b6"}, {"d2d3", "b7b6", "e2e3", "a7a6"}},
        // A double step against two single steps: a different ply, the same
        // position.
        {{"e2e3", "a7a6", "e3e4", "a6a5"}, {"e2e4", "a7a5"}},
        {{"c2c4", "d7d5", "c4d5", "h7h6"}, {"c2c3", "d7d6", "c3c4", "d6d5", "c4d5", "h7h6"}},
    };
    for (const Pair& p : pairs) {
        auto a = startPosition();
        auto b = startPosition();
        play(*a, p.first);
        play(*b, p.second);
        ASSERT_EQ(a->pawns[WHITE], b->pawns[WHITE]);
        ASSERT_EQ(a->pawns[BLACK], b->pawns[BLACK]);
        ASSERT_EQ(a->side, b->side);
        EXPECT_EQ(a->hashKeys[a->ply], b->hashKeys[b->ply]);
    }
}

}  // namespace
