// The transposition table: search results by position key, in buckets of
// four 16-byte entries, one cache line each.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/moves.h"

constexpr std::uint32_t TT_SIZE = 1u << 23;  // entries: 128 MiB
constexpr int TT_WAYS = 4;
constexpr int BOUND_EXACT = 0;
constexpr int BOUND_UPPER = 1;
constexpr int BOUND_LOWER = 2;
constexpr int NO_CUTOFF = -29999;

struct TTEntry {
    std::uint32_t keyLo;
    std::uint32_t keyHi;
    std::int16_t score;
    std::uint16_t info;  // bits 0-1 bound, 2-6 depth, 7-15 age
    ScoredMove move;
};
static_assert(sizeof(TTEntry) == 16);

// The fields packed into TTEntry::info. The depth keeps its low 5 bits and
// the age 9 bits; the age is 63 minus the root's ply, so a larger age is an
// older search.
constexpr std::uint16_t packEntryInfo(int bound, int depth, int age) {
    return static_cast<std::uint16_t>((static_cast<unsigned>(bound) & 3) |
                                      ((static_cast<unsigned>(depth) & 31) << 2) |
                                      (static_cast<unsigned>(age) << 7));
}
constexpr int entryBound(const TTEntry& e) { return e.info & 3; }
constexpr int entryDepth(const TTEntry& e) { return (e.info >> 2) & 31; }
constexpr int entryAge(const TTEntry& e) { return e.info >> 7; }

struct TranspositionTable {
    TTEntry* entries;
    std::uint32_t used;
    std::uint32_t size;
    void* block;  // the allocation behind `entries`, which is 64-byte aligned
    std::size_t mappedBytes;  // length of `block` when it is a memory mapping, else 0
};

// A table of `entries` entries (a power of two, at least TT_WAYS). When the
// block cannot be allocated the size is halved until it can; null only when
// not even one bucket fits.
TranspositionTable* createTT(std::uint32_t entries = TT_SIZE);
void releaseTT(TranspositionTable* table);
// Writes to every page of the table, which makes them all resident; the
// entries keep their values.
void touchTT(TranspositionTable& table);

void storeTT(TranspositionTable& table, std::uint64_t key, int score, int bound,
             int depth, int age, ScoredMove move);
int probeTT(const TranspositionTable& table, std::uint64_t key, int& alpha,
            int& beta, int depth, ScoredMove& hashMove);
ScoredMove lookupMoveTT(const TranspositionTable& table, std::uint64_t key);

inline TTEntry* bucketOf(const TranspositionTable& table, std::uint64_t key) {
    return table.entries + (key & (table.size / TT_WAYS - 1)) * TT_WAYS;
}

inline void prefetchTT(const TranspositionTable& table, std::uint64_t key) {
    __builtin_prefetch(bucketOf(table, key));
}
