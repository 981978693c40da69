#include "search/transposition.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

#ifdef __linux__
constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;

// A zeroed mapping of `bytes` that starts on a 2 MiB boundary, with the
// kernel asked for transparent huge pages: 64 pages instead of 32768 for
// the full table, so that a probe of a random bucket rarely misses the TLB
// and the first touch of the table costs a few faults instead of thousands.
void* mapTable(std::size_t bytes, std::size_t& mapped) {
    const std::size_t length = bytes + HUGE_PAGE;
    void* raw = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    auto aligned = (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    // Give back the unaligned head and the tail beyond the table.
    if (aligned > start) munmap(raw, aligned - start);
    const std::size_t tail = length - (aligned - start) - bytes;
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, bytes, MADV_HUGEPAGE);  // advice only: plain pages serve as well
    mapped = bytes;
    return block;
}
#endif

}  // namespace

TranspositionTable* createTT(std::uint32_t entries) {
    auto* table = static_cast<TranspositionTable*>(std::malloc(sizeof(TranspositionTable)));
    if (table == nullptr) return nullptr;
    for (std::uint32_t size = entries; size >= TT_WAYS; size /= 2) {
        const std::size_t bytes = std::size_t{size} * sizeof(TTEntry);
        std::size_t mapped = 0;
        void* block = nullptr;
        std::uintptr_t address = 0;
#ifdef __linux__
        block = mapTable(bytes, mapped);
        address = reinterpret_cast<std::uintptr_t>(block);
#endif
        if (block == nullptr) {
            // calloc hands back zeroed pages that the kernel fills only when
            // the search first touches them; 64 spare bytes let the entries
            // start on a cache line.
            block = std::calloc(bytes + 64, 1);
            if (block == nullptr) continue;
            address = (reinterpret_cast<std::uintptr_t>(block) + 63) & ~std::uintptr_t{63};
        }
        table->entries = reinterpret_cast<TTEntry*>(address);
        table->used = 0;
        table->size = size;
        table->block = block;
        table->mappedBytes = mapped;
        return table;
    }
    std::free(table);
    return nullptr;
}

void releaseTT(TranspositionTable* table) {
    if (table == nullptr) return;
#ifdef __linux__
    if (table->mappedBytes != 0) munmap(table->block, table->mappedBytes);
    else std::free(table->block);
#else
    std::free(table->block);
#endif
    std::free(table);
}

void touchTT(TranspositionTable& table) {
    // One write a page: the first byte of each 4 KiB, rewritten with its own
    // value through a volatile pointer so that the write is not dropped.
    constexpr std::size_t PAGE = 4096;
    volatile unsigned char* bytes = reinterpret_cast<unsigned char*>(table.entries);
    const std::size_t length = std::size_t{table.size} * sizeof(TTEntry);
    for (std::size_t at = 0; at < length; at += PAGE) bytes[at] = bytes[at];
}

void storeTT(TranspositionTable& table, std::uint64_t key, int score, int bound,
             int depth, int age, ScoredMove move) {
    const std::uint16_t info = packEntryInfo(bound, depth, age);
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
        // The entry to replace: the oldest, and among equally old the
        // shallowest.
        int worst = -100000;
        for (int i = 0; i < TT_WAYS; ++i) {
            int value = entryAge(bucket[i]) * 32 - entryDepth(bucket[i]);
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
        if (entryDepth(e) < depth) return NO_CUTOFF;
        const int s = e.score;
        switch (entryBound(e)) {
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
