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

// SQUARE_TERM[s][q][kind]: what a pawn of side s on q adds. Kind 0 is the
// advancement weight alone, kind 1 adds the passed-pawn bonus, kind 2 the
// penalty of an unsupported pawn whose square ahead holds no enemy pawn.
std::int8_t SQUARE_TERM[2][64][4];

constexpr Bitboard RANKS_1_TO_4 = 0x000000ffffffff00ULL;
constexpr Bitboard RANKS_1_TO_5 = 0x0000ffffffffff00ULL;
constexpr Bitboard RANKS_2_TO_6 = 0x00ffffffffff0000ULL;
constexpr Bitboard RANKS_3_TO_6 = 0x00ffffffff000000ULL;

inline Bitboard besideFiles(Bitboard b) {
    return ((b & NOT_FILE_H) << 1) | ((b >> 1) & NOT_FILE_H);
}

// The pawn walk of one side with the mask tests done for all pawns at once:
// a pawn is passed unless an enemy pawn stands on its own or a neighbouring
// file further up within the mask's ranks (the ranks a pawn can have an
// enemy ahead on), and supported when a friendly pawn on a neighbouring
// file stands beside it or behind it, as PASSED_MASK and SUPPORT_MASK say.
template <int S>
inline int sideScore(const Position& pos) {
    const Bitboard own = pos.pawns[S], enemy = pos.pawns[S ^ 1];
    Bitboard notPassed, supported, blocked;
    if constexpr (S == WHITE) {
        Bitboard ahead = enemy & RANKS_2_TO_6;
        ahead |= besideFiles(ahead);
        ahead >>= 8;  // every square below such a pawn
        ahead |= ahead >> 8;
        ahead |= ahead >> 16;
        ahead |= ahead >> 32;
        notPassed = own & ahead & RANKS_1_TO_5;
        Bitboard support = besideFiles(own & RANKS_1_TO_4);
        support |= support << 8;  // beside the pawn and every square above
        support |= support << 16;
        support |= support << 32;
        supported = support & RANKS_1_TO_4;
        blocked = enemy >> 8;
    } else {
        Bitboard ahead = enemy & RANKS_1_TO_5;
        ahead |= besideFiles(ahead);
        ahead <<= 8;
        ahead |= ahead << 8;
        ahead |= ahead << 16;
        ahead |= ahead << 32;
        notPassed = own & ahead & RANKS_2_TO_6;
        Bitboard support = besideFiles(own & RANKS_3_TO_6);
        support |= support >> 8;
        support |= support >> 16;
        support |= support >> 32;
        supported = support & RANKS_3_TO_6;
        blocked = enemy << 8;
    }
    const Bitboard passed = own & ~notPassed;
    const Bitboard lone = notPassed & ~supported & ~blocked;
    int score = 0;
    forEachSquare(own, [&](int q) {
        const unsigned kind = static_cast<unsigned>((passed >> q) & 1) |
                              static_cast<unsigned>(((lone >> q) & 1) << 1);
        score += SQUARE_TERM[S][q][kind];
    });
    return score;
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
        for (int side = WHITE; side <= BLACK; ++side) {
            // Advancement 2, 4, 6, 8 on relative ranks 2 to 5; passed 4 per
            // relative rank; unsupported 2 per relative rank less 14.
            const int rho = side == WHITE ? r : 7 - r;
            const int advance = (rho >= 2 && rho <= 5) ? 2 * (rho - 1) : 0;
            SQUARE_TERM[side][s][0] = static_cast<std::int8_t>(advance);
            SQUARE_TERM[side][s][1] = static_cast<std::int8_t>(advance + 4 * rho);
            SQUARE_TERM[side][s][2] = static_cast<std::int8_t>(advance + 2 * rho - 14);
            SQUARE_TERM[side][s][3] = 0;
        }
    }
    built = true;
}

int evaluatePawns(const Position& pos, int us, int them) {
    const int score[2] = {sideScore<WHITE>(pos), sideScore<BLACK>(pos)};
    return score[us] - score[them];
}
