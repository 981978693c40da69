#include "search/evaluate.h"

#include <cstdint>

Bitboard PASSED_MASK[2][64];
Bitboard SUPPORT_MASK[2][64];

namespace {

// The squares of files f-1, f, f+1 (as far as they exist; the own file only
// when `ownFile`) on rank indexes lo..hi.
Bitboard fileSpan(int file, int lo, int hi, bool ownFile) {
    Bitboard b = 0;
    for (int r = lo; r <= hi; ++r) {
        if (file > 0) b |= squareBit(r * 8 + file - 1);
        if (ownFile) b |= squareBit(r * 8 + file);
        if (file < 7) b |= squareBit(r * 8 + file + 1);
    }
    return b;
}

// The pawn counts of the eight ranks of b, one byte per rank.
inline std::uint64_t rankCounts(Bitboard b) {
    b = b - ((b >> 1) & 0x5555555555555555ULL);
    b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
    return (b + (b >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
}

constexpr std::uint64_t EVEN_LANES = 0x00ff00ff00ff00ffULL;

// Per-rank weights w[0..7] in the four 16-bit lanes of a multiplier, for
// the counts of the even ranks (lane j = rank 2j) or the odd ones (lane j =
// rank 2j + 1): lane k of the multiplier holds the weight of lane 3 - k, so
// that lane 3 of the product is the weighted sum.
constexpr std::uint64_t laneWeights(const int (&w)[8], int odd) {
    std::uint64_t k = 0;
    for (int lane = 0; lane < 4; ++lane)
        k |= static_cast<std::uint64_t>(w[2 * (3 - lane) + odd]) << (16 * lane);
    return k;
}

// For each rank index, with rho the relative rank: advancement 2, 4, 6, 8
// on rho 2 to 5, the passed bonus 4 rho, and 2 rho for an unsupported pawn
// whose square ahead holds no enemy pawn (its penalty is 2 rho - 14; the 14
// is taken off per such pawn).
template <int S>
struct RankWeights {
    static constexpr int rho(int r) { return S == WHITE ? r : 7 - r; }
    static constexpr int advance(int r) { return rho(r) >= 2 && rho(r) <= 5 ? 2 * (rho(r) - 1) : 0; }
    static constexpr int A[8] = {advance(0), advance(1), advance(2), advance(3),
                                 advance(4), advance(5), advance(6), advance(7)};
    static constexpr int P[8] = {4 * rho(0), 4 * rho(1), 4 * rho(2), 4 * rho(3),
                                 4 * rho(4), 4 * rho(5), 4 * rho(6), 4 * rho(7)};
    static constexpr int L[8] = {2 * rho(0), 2 * rho(1), 2 * rho(2), 2 * rho(3),
                                 2 * rho(4), 2 * rho(5), 2 * rho(6), 2 * rho(7)};
    static constexpr std::uint64_t advanceEven = laneWeights(A, 0), advanceOdd = laneWeights(A, 1);
    static constexpr std::uint64_t passedEven = laneWeights(P, 0), passedOdd = laneWeights(P, 1);
    static constexpr std::uint64_t loneEven = laneWeights(L, 0), loneOdd = laneWeights(L, 1);
};

// The score of one side with the mask tests done for all pawns at once:
// a pawn is passed unless an enemy pawn stands on its own or a neighbouring
// file further up within the mask's ranks (the ranks a pawn can have an
// enemy ahead on), and supported when a friendly pawn on a neighbouring
// file stands beside it or behind it, as PASSED_MASK and SUPPORT_MASK say.
template <int S>
inline int sideScore(const Position& pos) {
    const Bitboard own = pos.pawns[S], enemy = pos.pawns[S ^ 1];
    Bitboard notPassed, supported, blocked;
    if constexpr (S == WHITE) {
        Bitboard ahead = enemy & RANKS_3_TO_7;
        ahead |= besideSquares(ahead);
        ahead >>= 8;  // every square below such a pawn
        ahead |= ahead >> 8;
        ahead |= ahead >> 16;
        ahead |= ahead >> 32;
        notPassed = own & ahead & RANKS_2_TO_6;
        Bitboard support = besideSquares(own & RANKS_2_TO_5);
        support |= support << 8;  // beside the pawn and every square above
        support |= support << 16;
        support |= support << 32;
        supported = support & RANKS_2_TO_5;
        blocked = enemy >> 8;
    } else {
        Bitboard ahead = enemy & RANKS_2_TO_6;
        ahead |= besideSquares(ahead);
        ahead <<= 8;
        ahead |= ahead << 8;
        ahead |= ahead << 16;
        ahead |= ahead << 32;
        notPassed = own & ahead & RANKS_3_TO_7;
        Bitboard support = besideSquares(own & RANKS_4_TO_7);
        support |= support >> 8;
        support |= support >> 16;
        support |= support >> 32;
        supported = support & RANKS_4_TO_7;
        blocked = enemy << 8;
    }
    const Bitboard passed = own & ~notPassed;
    const Bitboard lone = notPassed & ~supported & ~blocked;
    // Every term depends on the pawn's rank alone, so the sum is one of
    // pawn counts per rank times per-rank weights: the counts are taken for
    // all eight ranks at once (one byte each), split into even and odd
    // ranks (16 bits each), and multiplied by the weights laid out so that
    // the top 16 bits of the product collect the weighted sum. No partial
    // sum comes near 2^16, so nothing carries between the lanes.
    using W = RankWeights<S>;
    const std::uint64_t o = rankCounts(own), p = rankCounts(passed), l = rankCounts(lone);
    const std::uint64_t sum = (o & EVEN_LANES) * W::advanceEven + ((o >> 8) & EVEN_LANES) * W::advanceOdd +
                              (p & EVEN_LANES) * W::passedEven + ((p >> 8) & EVEN_LANES) * W::passedOdd +
                              (l & EVEN_LANES) * W::loneEven + ((l >> 8) & EVEN_LANES) * W::loneOdd;
    const int loneCount = static_cast<int>((l * 0x0101010101010101ULL) >> 56);
    return static_cast<int>(sum >> 48) - 14 * loneCount;
}

}  // namespace

void initEvalMasks() {
    static bool built = false;
    if (built) return;
    for (int s = 0; s < 64; ++s) {
        int f = fileOf(s), r = rankOf(s);
        PASSED_MASK[WHITE][s] = (r >= 1 && r <= 5) ? fileSpan(f, r + 1, 6, true) : 0;
        PASSED_MASK[BLACK][s] = (r >= 2 && r <= 6) ? fileSpan(f, 1, r - 1, true) : 0;
        SUPPORT_MASK[WHITE][s] = (r >= 1 && r <= 4) ? fileSpan(f, 1, r, false) : 0;
        SUPPORT_MASK[BLACK][s] = (r >= 3 && r <= 6) ? fileSpan(f, r, 6, false) : 0;
    }
    built = true;
}

int evaluatePawns(const Position& pos, int us, int them) {
    const int score[2] = {sideScore<WHITE>(pos), sideScore<BLACK>(pos)};
    return score[us] - score[them];
}
