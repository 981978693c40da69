#include "search/evaluate.h"

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

int sideScore(const Position& pos, int s) {
    const Bitboard own = pos.pawns[s], enemy = pos.pawns[s ^ 1];
    int score = 0;
    // Advancement: 2, 4, 6, 8 per pawn on relative ranks 2 to 5.
    for (int rho = 2; rho <= 5; ++rho) {
        int r = s == WHITE ? rho : 7 - rho;
        score += 2 * (rho - 1) * popCount(own & rankMask(r));
    }
    for (Bitboard b = own; b; b &= b - 1) {
        int q = lowestSquare(b);
        int rho = s == WHITE ? rankOf(q) : 7 - rankOf(q);
        if ((PASSED_MASK[s][q] & enemy) == 0) {
            score += 4 * rho;
        } else if ((SUPPORT_MASK[s][q] & own) == 0) {
            // A pawn that is not passed stands below its last rank, so the
            // square ahead is on the board.
            if ((enemy & squareBit(q + PUSH[s])) == 0) score += 2 * rho - 14;
        }
    }
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
    }
    built = true;
}

int evaluatePawns(const Position& pos, int us, int them) {
    return sideScore(pos, us) - sideScore(pos, them);
}
