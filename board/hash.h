// Zobrist keys of positions: 113 fixed keys (drawn once from glibc's rand()
// with a fixed seed), the full key of a position and its update after a
// move.
#pragma once

#include <array>
#include <cstdint>

#include "board/moves.h"

constexpr unsigned HASH_SEED = 989649653u;
constexpr int KEY_COUNT = 113;
constexpr int POPCOUNT_LOW = 24;
constexpr int POPCOUNT_HIGH = 40;
constexpr int KEY_TRIES = 10;

extern std::uint64_t PAWN_KEYS[2][64];
extern std::uint64_t SIDE_KEY;
extern std::uint64_t EP_KEYS[64];

// The keys in drawing order: white pawns a2..h7, black pawns a2..h7, the
// side key, the en-passant squares a3..h3 and a6..h6.
extern const std::array<std::uint64_t, KEY_COUNT> DRAWN_KEYS;

// Packs five 15-bit draws r1..r5 into one 64-bit candidate key.
std::uint64_t packKey(unsigned r1, unsigned r2, unsigned r3, unsigned r4,
                      unsigned r5);
void initHashKeys();

std::uint64_t computeHash(const Bitboard pawns[2], int sideFlag, int epSquare);

inline std::uint64_t updateHash(int mover, std::uint64_t h, int oldEp,
                                int newEp, Move m) {
    if (isCapture(m)) h ^= PAWN_KEYS[mover ^ 1][capturedSquare(m, mover)];
    h ^= PAWN_KEYS[mover][moveTo(m)] ^ PAWN_KEYS[mover][moveFrom(m)] ^ SIDE_KEY;
    // EP_KEYS[NO_SQUARE] does not exist; the keys of squares without an
    // en-passant key are 0, so only the absent square needs the test.
    if (oldEp != NO_SQUARE) h ^= EP_KEYS[oldEp];
    if (newEp != NO_SQUARE) h ^= EP_KEYS[newEp];
    return h;
}
