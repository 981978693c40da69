// The solver's table: for each position met, the proven bounds of its value
// (a loss, a draw or a win for the side to move) and the move that proved
// them. Values do not depend on a depth, so a bound, once stored, holds for
// good and two stores of one position simply intersect.
//
// A position and its left-right mirror share one entry: the key is the
// smaller of the two (see canonicalKey), and the stored move is written in
// the key's orientation.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/moves.h"

// A position as the table keys it. Pawns stand on ranks 2 to 7 only (a pawn
// on its last rank has ended the game before anything is stored).
struct SolveKey {
    Bitboard white = 0;
    Bitboard black = 0;
    int side = WHITE;
    int epSquare = NO_SQUARE;
    bool mirrored = false;  // the key is the mirror image of the position
};

// The board seen in a mirror between the d- and e-files.
constexpr Bitboard mirrorFiles(Bitboard b) {
    b = ((b >> 1) & 0x5555555555555555ULL) | ((b & 0x5555555555555555ULL) << 1);
    b = ((b >> 2) & 0x3333333333333333ULL) | ((b & 0x3333333333333333ULL) << 2);
    b = ((b >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((b & 0x0f0f0f0f0f0f0f0fULL) << 4);
    return b;
}
constexpr int mirrorSquare(int sq) { return sq == NO_SQUARE ? NO_SQUARE : sq ^ 7; }
constexpr Move mirrorMove(Move m) {
    return isNoMove(m) ? m
                       : makeMoveCode(mirrorSquare(moveFrom(m)), mirrorSquare(moveTo(m)),
                                      static_cast<Move>(m & (CAPTURE_FLAG | DOUBLE_STEP_FLAG |
                                                             EN_PASSANT_FLAG)));
}

// The key of a position: itself or its mirror image, whichever is smaller,
// so that both orientations meet in one entry.
inline SolveKey canonicalKey(Bitboard white, Bitboard black, int side, int epSquare) {
    const Bitboard mw = mirrorFiles(white), mb = mirrorFiles(black);
    const int me = mirrorSquare(epSquare);
    bool mirror = mw < white || (mw == white && (mb < black || (mb == black && me < epSquare)));
    if (mirror) return {mw, mb, side, me, true};
    return {white, black, side, epSquare, false};
}

// Values of the side to move.
constexpr int LOSS = -1, DRAW = 0, WIN = 1;

struct SolveEntry {
    int lower = LOSS;
    int upper = WIN;
    int from = NO_SQUARE;  // the proving move in the key's orientation, or NO_SQUARE
    int to = NO_SQUARE;
};

class SolveTable {
public:
    SolveTable() = default;
    ~SolveTable();
    SolveTable(const SolveTable&) = delete;
    SolveTable& operator=(const SolveTable&) = delete;

    // Allocates about `mebibytes` MiB, all entries empty; false when the
    // memory is not there. `shared` makes every access take the bucket's
    // lock, for several threads at once.
    bool create(std::size_t mebibytes, bool shared);
    void clear();

    // The entry of `key`, when the table holds one.
    bool probe(const SolveKey& key, SolveEntry& entry) const;
    // Stores the bounds [lower, upper] of `key` (intersected with what the
    // entry held) and the move, unless it is NO_SQUARE. `work` is the size
    // of the search behind them, as a base-2 logarithm: when the bucket is
    // full, the entry behind the least work makes room.
    void store(const SolveKey& key, int lower, int upper, int from, int to, int work);

    std::uint64_t capacity() const { return bucketCount_ * WAYS; }
    std::uint64_t used() const { return used_.load(std::memory_order_relaxed); }
    std::size_t bytes() const { return bucketCount_ * sizeof(Bucket); }

    // The table as a file, so that one solve can go on from another's work.
    // False with the reason in `error`.
    bool save(const std::string& path, std::string& error) const;
    bool load(const std::string& path, std::string& error);

private:
    static constexpr int WAYS = 4;
    struct Slot {
        std::uint64_t low;
        std::uint64_t high;
    };
    struct alignas(64) Bucket {
        Slot slots[WAYS];
    };
    static constexpr std::size_t LOCKS = 1u << 16;

    std::uint64_t bucketOf(const SolveKey& key) const;
    void lock(std::uint64_t bucket) const;
    void unlock(std::uint64_t bucket) const;

    void release();

    void* mapping_ = nullptr;
    std::size_t mappingBytes_ = 0;
    Bucket* buckets_ = nullptr;
    std::uint64_t bucketCount_ = 0;
    bool shared_ = false;
    mutable std::atomic<std::uint64_t> used_{0};
    mutable std::atomic_flag* locks_ = nullptr;
};
