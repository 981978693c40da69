#include "board/position.h"

#include <cstdio>

void setupPawns(Position& pos) {
    pos.pawns[WHITE] = pos.pawns[BLACK] = 0;
    pos.pawnCount[WHITE] = pos.pawnCount[BLACK] = 0;
    for (int sq = 8; sq <= 15; ++sq) {
        pos.pawns[WHITE] |= squareBit(sq);
        ++pos.pawnCount[WHITE];
    }
    for (int sq = 48; sq <= 55; ++sq) {
        pos.pawns[BLACK] |= squareBit(sq);
        ++pos.pawnCount[BLACK];
    }
}

void resetPosition(Position& pos) {
    setupPawns(pos);
    pos.side = WHITE;
    pos.ply = 0;
    pos.moveLists[0].count = 0;
    pos.epSquares[0] = NO_SQUARE;
    pos.hashKeys[0] = computeHash(pos.pawns, 0, NO_SQUARE);
}

void initPosition(Position& pos) {
    pos.pawns[WHITE] = pos.pawns[BLACK] = 0;
    pos.pawnCount[WHITE] = pos.pawnCount[BLACK] = 0;
    // The stacks above the current ply are written before they are read;
    // they are cleared here all the same so that nothing stale is ever seen.
    for (MoveList& list : pos.moveLists) list = MoveList{};
    for (ScoredMove& m : pos.history) m = ScoredMove{};
    for (std::uint64_t& key : pos.hashKeys) key = 0;
    for (std::int32_t& ep : pos.epSquares) ep = NO_SQUARE;
    initHashKeys();
    resetPosition(pos);
}

void printBoard(const Position& pos) {
    char text[8 * 9 + 1];
    int n = 0;
    for (int rank = 7; rank >= 0; --rank) {
        for (int file = 0; file < 8; ++file) {
            Bitboard bit = squareBit(rank * 8 + file);
            text[n++] = (pos.pawns[WHITE] & bit) ? 'P'
                        : (pos.pawns[BLACK] & bit) ? 'p' : '.';
        }
        text[n++] = '\n';
    }
    text[n] = '\0';
    std::fputs(text, stdout);
    std::fflush(stdout);
}
