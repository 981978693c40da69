#include "board/hash.h"

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

// The keys in the order they were drawn: glibc's rand() seeded with
// HASH_SEED, five draws packed per candidate, the first candidate of at most
// ten with 24..40 set bits taken (else the earliest nearest to that window).
// They are written out so that every C library, and WebAssembly, hashes
// alike and searches the same tree; the unit tests draw them again from the
// generator's own recurrence.
const std::array<std::uint64_t, KEY_COUNT> DRAWN_KEYS = {
    0xed86e0a404cc61eaULL, 0x6222549f7e453d31ULL, 0x64d5cf9f1491fa71ULL,
    0x35dd1e38bbfb88adULL, 0x9111a6d5fd5a494dULL, 0x30722a8d77ce4112ULL,
    0x3d144f5af2bde612ULL, 0x51d2f38f52e9bc1aULL, 0x667e09ebe6573b0eULL,
    0xb0dd3d92be9eeb92ULL, 0xdcd4ac420295a93aULL, 0x7a1f24e8115f82bbULL,
    0xd551ae982b3eca85ULL, 0xb238d9caf2cdea17ULL, 0x2b2185b23eac62c1ULL,
    0x823f530f66f79c93ULL, 0xa91a7c8cdd9a17caULL, 0x7e74112665c76000ULL,
    0x260a1cc11f12f5f0ULL, 0xee95b3934d340d82ULL, 0xbfd42a61ebb7e7d8ULL,
    0xff40df9a8d9a2dc9ULL, 0x4bb4da18c8e8eb73ULL, 0x79dae98c9ed38a3dULL,
    0x86b7dbdb6263c2baULL, 0xe4cda3e021a0581fULL, 0x6ca6a3d74722bbaeULL,
    0x57c84a06c97f3fd8ULL, 0xc7b5a7b594dad54aULL, 0x23f59140e3f5f97aULL,
    0x5cb6f6e27133764aULL, 0x4c0436d95eebd0a1ULL, 0x54561ca24de81353ULL,
    0xb4f1650131447f70ULL, 0x27fbf2a03e6aa109ULL, 0x52dbe09b5cacd1dcULL,
    0x1e972edb0695192fULL, 0xc5decc2e22ad5391ULL, 0xa0f0d053212514fcULL,
    0x1acab1e0c37b4251ULL, 0xd659cad5bbaf684eULL, 0xad08dc258255e5d8ULL,
    0xe0a10a2d00bac99cULL, 0xf989cee26c4c9b96ULL, 0x144a327670a5e105ULL,
    0x8ecafbf1f2512ed4ULL, 0x3933cc95af529e48ULL, 0xcb45458797bb6994ULL,
    0xeb4ba64c91e331a9ULL, 0x295d2059faf98f60ULL, 0xfa5a08e355f708f7ULL,
    0xbf84acb880d20c5eULL, 0xb40615a80d36eddaULL, 0xffc644e044e26814ULL,
    0x988e01ed57edab3eULL, 0xa63d600b29e83084ULL, 0x3cbf72aa1d71426eULL,
    0xe97943d5f92c98e8ULL, 0x4bbe623adcd20753ULL, 0xa00f18e66303ecf6ULL,
    0x69e7bd0555db4788ULL, 0x55ab3b23e074e2b0ULL, 0xb133464fa320fa42ULL,
    0x021512ebc87687bdULL, 0x71238d3a3ecfa583ULL, 0x2da6ea7368527922ULL,
    0x1bbd27e8f5c319f3ULL, 0x37bc0abaa04d5150ULL, 0xcd61cd0d1c1151cfULL,
    0x323dd4aa7965c63fULL, 0xeece40449bb8c18aULL, 0xb51ec44cb7ca7f29ULL,
    0x3a1712146174b114ULL, 0x8ba7b85b51043252ULL, 0xa0728602d7864f60ULL,
    0x158e233964e9d9c7ULL, 0xd22d64ccb6fd9059ULL, 0xbc9e7500484ad3c0ULL,
    0xff23df1d4b03b0ccULL, 0xdfd6a23215b81d48ULL, 0x90176deea70ae8b0ULL,
    0x4bd746df2d41d1d4ULL, 0x35aba444ef18595cULL, 0x78e2964aaf14ca9fULL,
    0x191640ae322e3feaULL, 0xe863ec4998b10b65ULL, 0xe3c963284a7a02cfULL,
    0x711098b04ac41395ULL, 0xde8a7f89f0f0633fULL, 0x634ebb599f79414aULL,
    0x18ecda98ad2fc4aeULL, 0xbfd3351ce965cd73ULL, 0x32664ab7c0b40691ULL,
    0xb029cd4ed3639e8dULL, 0x0a6b444af246d532ULL, 0x91b9e5f48a522068ULL,
    0x3107425e293e9dd8ULL, 0x601fbb2baad6ac89ULL, 0x15af156b83c70299ULL,
    0x355390622602f561ULL, 0x903fec787fe7f0d4ULL, 0x745299f351340ac1ULL,
    0x740be0ad203616e7ULL, 0x6128a79526749c97ULL, 0x7909355d05eff29bULL,
    0x7637c1575ed5f035ULL, 0x7461b1be47a9bb3fULL, 0x3f3c9c94dcfa7730ULL,
    0x1b29e9cf0b3dbafaULL, 0x3952eae825f57522ULL, 0xad4a94779d6664f7ULL,
    0x644783c71e82ba26ULL, 0x9f54f43a6ebe33aeULL,
};

void initHashKeys() {
    initBitTables();
    const std::array<std::uint64_t, KEY_COUNT>& keys = DRAWN_KEYS;
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
