#include "board/hash.h"

#include <cstdlib>
#include <cstring>

std::uint64_t PAWN_KEYS[2][64];
std::uint64_t SIDE_KEY;
std::uint64_t EP_KEYS[64];

std::uint64_t packKey(unsigned r1, unsigned r2, unsigned r3, unsigned r4,
                      unsigned r5) {
    return std::uint64_t{r1 & 0x7fffu} | (std::uint64_t{r2 & 0x7fffu} << 15) |
           (std::uint64_t{r3 & 0x7fffu} << 30) |
           (std::uint64_t{r4 & 0x7fffu} << 45) |
           (std::uint64_t{r5 & 0x7fffu} << 60);
}

std::uint64_t randomKey() {
    unsigned r[5];
    for (unsigned& draw : r) draw = static_cast<unsigned>(std::rand());
    return packKey(r[0], r[1], r[2], r[3], r[4]);
}

std::vector<std::uint64_t> generateKeys() {
    std::vector<std::uint64_t> keys;
    keys.reserve(KEY_COUNT);
    for (int k = 0; k < KEY_COUNT; ++k) {
        int bestDistance = POPCOUNT_LOW;
        std::uint64_t saved = 0;
        bool accepted = false;
        for (int tries = 0; tries < KEY_TRIES; ++tries) {
            std::uint64_t candidate = randomKey();
            int bits = popCount(candidate);
            if (bits >= POPCOUNT_LOW && bits <= POPCOUNT_HIGH) {
                keys.push_back(candidate);
                accepted = true;
                break;
            }
            int distance = bits < POPCOUNT_LOW ? POPCOUNT_LOW - bits
                                               : bits - POPCOUNT_HIGH;
            if (distance < bestDistance) {
                bestDistance = distance;
                saved = candidate;
            }
        }
        if (!accepted) keys.push_back(saved);
    }
    return keys;
}

void initHashKeys() {
    std::srand(HASH_SEED);
    initBitTables();
    std::vector<std::uint64_t> keys = generateKeys();
    std::memset(PAWN_KEYS, 0, sizeof PAWN_KEYS);
    std::memset(EP_KEYS, 0, sizeof EP_KEYS);
    int k = 0;
    for (int side = WHITE; side <= BLACK; ++side)
        for (int sq = 8; sq <= 55; ++sq) PAWN_KEYS[side][sq] = keys[k++];
    SIDE_KEY = keys[k++];
    for (int sq = 16; sq <= 23; ++sq) EP_KEYS[sq] = keys[k++];
    for (int sq = 40; sq <= 47; ++sq) EP_KEYS[sq] = keys[k++];
}

std::uint64_t computeHash(const Bitboard pawns[2], int sideFlag, int epSquare) {
    std::uint64_t h = 0;
    for (int side = WHITE; side <= BLACK; ++side) {
        for (Bitboard b = pawns[side]; b; b &= b - 1)
            h ^= PAWN_KEYS[side][lowestSquare(b)];
    }
    if (sideFlag != 0) h ^= SIDE_KEY;
    if (epSquare != NO_SQUARE) h ^= EP_KEYS[epSquare];
    return h;
}
