#include "search/transposition.h"

#include <cstdint>
#include <cstdlib>

TranspositionTable* createTT(std::uint32_t entries) {
    auto* table = static_cast<TranspositionTable*>(std::malloc(sizeof(TranspositionTable)));
    if (table == nullptr) return nullptr;
    for (std::uint32_t size = entries; size >= TT_WAYS; size /= 2) {
        // calloc hands back zeroed pages that the kernel fills only when the
        // search first touches them; 64 spare bytes let the entries start on
        // a cache line.
        void* block = std::calloc(std::size_t{size} * sizeof(TTEntry) + 64, 1);
        if (block == nullptr) continue;
        auto address = reinterpret_cast<std::uintptr_t>(block);
        address = (address + 63) & ~std::uintptr_t{63};
        table->entries = reinterpret_cast<TTEntry*>(address);
        table->used = 0;
        table->size = size;
        table->block = block;
        return table;
    }
    std::free(table);
    return nullptr;
}

void releaseTT(TranspositionTable* table) {
    if (table == nullptr) return;
    std::free(table->block);
    std::free(table);
}

void storeTT(TranspositionTable& table, std::uint64_t key, int score, int bound,
             int depth, int age, ScoredMove move) {
    const auto info = static_cast<std::uint16_t>(
        (static_cast<unsigned>(bound) & 3) | ((static_cast<unsigned>(depth) & 31) << 2) |
        (static_cast<unsigned>(age) << 7));
    const auto lo = static_cast<std::uint32_t>(key);
    const auto hi = static_cast<std::uint32_t>(key >> 32);
    TTEntry* bucket = bucketOf(table, key);
    TTEntry* slot = nullptr;
    for (int i = 0; i < TT_WAYS; ++i) {
        if (bucket[i].keyLo == 0 && bucket[i].keyHi == 0) {
            slot = &bucket[i];
            ++table.used;
            break;
        }
    }
    if (slot == nullptr) {
        for (int i = 0; i < TT_WAYS; ++i) {
            if (bucket[i].keyLo == lo && bucket[i].keyHi == hi) {
                slot = &bucket[i];
                break;
            }
        }
    }
    if (slot == nullptr) {
        int worst = -100000;
        for (int i = 0; i < TT_WAYS; ++i) {
            int value = (bucket[i].info >> 7) * 32 - ((bucket[i].info >> 2) & 31);
            if (value > worst) {
                worst = value;
                slot = &bucket[i];
            }
        }
    }
    slot->keyLo = lo;
    slot->keyHi = hi;
    slot->score = static_cast<std::int16_t>(score);
    slot->info = info;
    slot->move = move;
}

int probeTT(const TranspositionTable& table, std::uint64_t key, int& alpha,
            int& beta, int depth, ScoredMove& hashMove) {
    const auto lo = static_cast<std::uint32_t>(key);
    const auto hi = static_cast<std::uint32_t>(key >> 32);
    const TTEntry* bucket = bucketOf(table, key);
    for (int i = 0; i < TT_WAYS; ++i) {
        const TTEntry& e = bucket[i];
        if (e.keyLo != lo || e.keyHi != hi) continue;
        hashMove = e.move;
        if (((e.info >> 2) & 31) < depth) return NO_CUTOFF;
        const int s = e.score;
        switch (e.info & 3) {
            case BOUND_EXACT:
                return s;
            case BOUND_UPPER:
                if (s <= alpha) return s;
                if (s < beta) beta = s;
                return NO_CUTOFF;
            case BOUND_LOWER:
                if (s >= beta) return s;
                if (s > alpha) alpha = s;
                return NO_CUTOFF;
            default:
                return NO_CUTOFF;
        }
    }
    return NO_CUTOFF;
}

ScoredMove lookupMoveTT(const TranspositionTable& table, std::uint64_t key) {
    const auto lo = static_cast<std::uint32_t>(key);
    const auto hi = static_cast<std::uint32_t>(key >> 32);
    const TTEntry* bucket = bucketOf(table, key);
    for (int i = 0; i < TT_WAYS; ++i)
        if (bucket[i].keyLo == lo && bucket[i].keyHi == hi) return bucket[i].move;
    return ScoredMove{};
}
