#include "tools/solvetable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace {

// Bits of an entry's second word above the 32 high bits of Black's pawns.
constexpr int SIDE_SHIFT = 32;
constexpr int EP_SHIFT = 33;    // 0: none, else 1 + the file
constexpr int FROM_SHIFT = 37;
constexpr int TO_SHIFT = 43;
constexpr int LOWER_SHIFT = 49;  // value + 1
constexpr int UPPER_SHIFT = 51;
constexpr int WORK_SHIFT = 53;  // 6 bits
constexpr std::uint64_t PRESENT = std::uint64_t{1} << 59;
constexpr std::uint64_t HAS_MOVE = std::uint64_t{1} << 60;
constexpr std::uint64_t MASK48 = (std::uint64_t{1} << 48) - 1;
// The part of the second word that belongs to the position.
constexpr std::uint64_t POSITION_BITS = (std::uint64_t{1} << (EP_SHIFT + 4)) - 1;

constexpr Bitboard PLAYING_RANKS = 0x00ffffffffffff00ULL;

struct Packed {
    std::uint64_t low;
    std::uint64_t high;  // the position's bits only
};

Packed pack(const SolveKey& key) {
    const std::uint64_t w = (key.white >> 8) & MASK48, b = (key.black >> 8) & MASK48;
    const std::uint64_t ep = key.epSquare == NO_SQUARE ? 0 : 1 + static_cast<unsigned>(fileOf(key.epSquare));
    return {w | (b << 48),
            (b >> 16) | (static_cast<std::uint64_t>(key.side) << SIDE_SHIFT) | (ep << EP_SHIFT) |
                PRESENT};
}

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

int field(std::uint64_t word, int shift, std::uint64_t mask) {
    return static_cast<int>((word >> shift) & mask);
}

constexpr char FILE_MAGIC[8] = {'Q', 'F', 'S', 'O', 'L', 'V', '1', '\n'};

}  // namespace

namespace {

// The table starts on a 2 MiB boundary, which keeps buckets within cache
// lines and pages.
constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;

}  // namespace

void SolveTable::release() {
    if (mapping_ != nullptr) munmap(mapping_, mappingBytes_);
    mapping_ = nullptr;
    mappingBytes_ = 0;
    buckets_ = nullptr;
    delete[] locks_;
    locks_ = nullptr;
    bucketCount_ = 0;
}

SolveTable::~SolveTable() { release(); }

bool SolveTable::create(std::size_t mebibytes, bool shared) {
    release();
    used_.store(0, std::memory_order_relaxed);
    std::uint64_t count = (static_cast<std::uint64_t>(mebibytes) << 20) / sizeof(Bucket);
    if (count == 0) count = 1;
    // Fresh zero pages, touched only when used. (Huge pages were tried:
    // zeroing 2 MiB for each of the first entries made small solves take
    // seconds.)
    mappingBytes_ = count * sizeof(Bucket) + HUGE_PAGE;
    void* mapping = mmap(nullptr, mappingBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        mappingBytes_ = 0;
        return false;
    }
    mapping_ = mapping;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(mapping) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    buckets_ = reinterpret_cast<Bucket*>(start);
    bucketCount_ = count;
    shared_ = shared;
    if (shared) {
        locks_ = new (std::nothrow) std::atomic_flag[LOCKS];
        if (locks_ == nullptr) return false;
        for (std::size_t i = 0; i < LOCKS; ++i) locks_[i].clear();
    }
    return true;
}

void SolveTable::clear() {
    std::memset(static_cast<void*>(buckets_), 0, bucketCount_ * sizeof(Bucket));
    used_.store(0, std::memory_order_relaxed);
}

std::uint64_t SolveTable::bucketOf(const SolveKey& key) const {
    const std::uint64_t h =
        mix(key.white * 0x9e3779b97f4a7c15ULL ^ mix(key.black ^ (static_cast<std::uint64_t>(key.side) << 63)) ^
            static_cast<std::uint64_t>(key.epSquare));
    return ((h >> 32) * bucketCount_) >> 32;
}

void SolveTable::lock(std::uint64_t bucket) const {
    if (!shared_) return;
    std::atomic_flag& f = locks_[bucket % LOCKS];
    while (f.test_and_set(std::memory_order_acquire)) {
    }
}

void SolveTable::unlock(std::uint64_t bucket) const {
    if (!shared_) return;
    locks_[bucket % LOCKS].clear(std::memory_order_release);
}

bool SolveTable::probe(const SolveKey& key, SolveEntry& entry) const {
    if ((key.white | key.black) & ~PLAYING_RANKS) return false;
    const Packed p = pack(key);
    const std::uint64_t b = bucketOf(key);
    lock(b);
    bool found = false;
    for (const Slot& s : buckets_[b].slots) {
        if (s.low == p.low && (s.high & (POSITION_BITS | PRESENT)) == p.high) {
            entry.lower = field(s.high, LOWER_SHIFT, 3) - 1;
            entry.upper = field(s.high, UPPER_SHIFT, 3) - 1;
            if (s.high & HAS_MOVE) {
                entry.from = field(s.high, FROM_SHIFT, 63);
                entry.to = field(s.high, TO_SHIFT, 63);
            } else {
                entry.from = entry.to = NO_SQUARE;
            }
            found = true;
            break;
        }
    }
    unlock(b);
    return found;
}

void SolveTable::store(const SolveKey& key, int lower, int upper, int from, int to, int work) {
    if ((key.white | key.black) & ~PLAYING_RANKS) return;
    const Packed p = pack(key);
    const std::uint64_t b = bucketOf(key);
    if (work > 63) work = 63;
    if (work < 0) work = 0;
    lock(b);
    Slot* target = nullptr;
    Slot* weakest = nullptr;
    int weakestWork = 64;
    for (Slot& s : buckets_[b].slots) {
        if (s.low == p.low && (s.high & (POSITION_BITS | PRESENT)) == p.high) {
            target = &s;
            break;
        }
        const int w = (s.high & PRESENT) ? field(s.high, WORK_SHIFT, 63) : -1;
        if (w < weakestWork) {
            weakestWork = w;
            weakest = &s;
        }
    }
    if (target != nullptr) {
        const int oldLower = field(target->high, LOWER_SHIFT, 3) - 1;
        const int oldUpper = field(target->high, UPPER_SHIFT, 3) - 1;
        if (oldLower > lower) lower = oldLower;
        if (oldUpper < upper) upper = oldUpper;
        const int oldWork = field(target->high, WORK_SHIFT, 63);
        if (oldWork > work) work = oldWork;
        if (from == NO_SQUARE && (target->high & HAS_MOVE)) {
            from = field(target->high, FROM_SHIFT, 63);
            to = field(target->high, TO_SHIFT, 63);
        }
    } else {
        target = weakest;
        if (!(target->high & PRESENT)) used_.fetch_add(1, std::memory_order_relaxed);
    }
    std::uint64_t high = p.high | (static_cast<std::uint64_t>(lower + 1) << LOWER_SHIFT) |
                         (static_cast<std::uint64_t>(upper + 1) << UPPER_SHIFT) |
                         (static_cast<std::uint64_t>(work) << WORK_SHIFT);
    if (from != NO_SQUARE)
        high |= HAS_MOVE | (static_cast<std::uint64_t>(from) << FROM_SHIFT) |
                (static_cast<std::uint64_t>(to) << TO_SHIFT);
    target->low = p.low;
    target->high = high;
    unlock(b);
}

bool SolveTable::save(const std::string& path, std::string& error) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot open " + path + " for writing";
        return false;
    }
    const std::uint64_t count = bucketCount_, used = used_.load();
    bool ok = std::fwrite(FILE_MAGIC, 1, sizeof FILE_MAGIC, f) == sizeof FILE_MAGIC &&
              std::fwrite(&count, sizeof count, 1, f) == 1 &&
              std::fwrite(&used, sizeof used, 1, f) == 1;
    constexpr std::uint64_t CHUNK = 1u << 16;
    for (std::uint64_t i = 0; ok && i < count; i += CHUNK) {
        const std::uint64_t n = count - i < CHUNK ? count - i : CHUNK;
        ok = std::fwrite(buckets_ + i, sizeof(Bucket), n, f) == n;
    }
    if (std::fclose(f) != 0) ok = false;
    if (!ok) error = "cannot write " + path;
    return ok;
}

bool SolveTable::load(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = "cannot open " + path;
        return false;
    }
    char magic[sizeof FILE_MAGIC];
    std::uint64_t count = 0, used = 0;
    bool ok = std::fread(magic, 1, sizeof magic, f) == sizeof magic &&
              std::memcmp(magic, FILE_MAGIC, sizeof magic) == 0 &&
              std::fread(&count, sizeof count, 1, f) == 1 && std::fread(&used, sizeof used, 1, f) == 1;
    if (!ok) {
        error = path + " is not a solver table";
    } else if (count != bucketCount_) {
        ok = false;
        error = path + " holds a table of " + std::to_string(count * sizeof(Bucket) >> 20) +
                " MiB; give that size with --hash";
    }
    constexpr std::uint64_t CHUNK = 1u << 16;
    for (std::uint64_t i = 0; ok && i < count; i += CHUNK) {
        const std::uint64_t n = count - i < CHUNK ? count - i : CHUNK;
        ok = std::fread(buckets_ + i, sizeof(Bucket), n, f) == n;
        if (!ok) error = path + " ends early";
    }
    std::fclose(f);
    if (ok) used_.store(used, std::memory_order_relaxed);
    return ok;
}
