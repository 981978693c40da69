#include "board/perft.h"

#include "board/movegen.h"

namespace {

// The moves of side S with the pawn sets `own` and `enemy` and the
// en-passant square `ep`, counted off the generators' destination sets.
template <int S>
[[gnu::always_inline]] inline int countSide(Bitboard own, Bitboard enemy, int ep) {
    const Bitboard empty = ~(own | enemy);
    int n = 0;
    if (ep != NO_SQUARE) n += __builtin_popcountll(EP_ATTACKERS[S][ep] & own);
    n += __builtin_popcountll(promotionSources<S>(own));
    constexpr int LEFT = S == WHITE ? 7 : -9, RIGHT = S == WHITE ? 9 : -7;
    n += __builtin_popcountll(captureTargets<S, LEFT>(own, enemy));
    n += __builtin_popcountll(captureTargets<S, RIGHT>(own, enemy));
    n += __builtin_popcountll(stepTargets<S>(own, empty));
    const Bitboard singles = startStepTargets<S>(own, empty);
    n += __builtin_popcountll(singles) + __builtin_popcountll(doubleStepTargets<S>(singles, empty));
    return n;
}

// The number of moves of `side`, 0 when the game is over. Inlined into each
// perft below so that its bit counts compile to the best instruction perft
// may use.
[[gnu::always_inline]] inline int countFor(int side, Bitboard own, Bitboard enemy, int ep) {
    if (isGameWon(side, own, enemy)) return 0;
    return side == WHITE ? countSide<WHITE>(own, enemy, ep) : countSide<BLACK>(own, enemy, ep);
}

[[gnu::always_inline]] inline int countMovesInline(const Position& pos) {
    return countFor(pos.side, pos.pawns[pos.side], pos.pawns[pos.side ^ 1],
                    pos.epSquares[pos.ply]);
}

// The moves of the position after `m`, counted from the pawn sets that
// makeMove would leave, without making it: the last two plies of a perft
// need nothing else.
[[gnu::always_inline]] inline int countAfter(const Position& pos, Move m) {
    const int s = pos.side, o = s ^ 1;
    Bitboard mover = pos.pawns[s] ^ (squareBit(moveFrom(m)) | squareBit(moveTo(m)));
    Bitboard other = pos.pawns[o];
    if (isCapture(m)) other &= ~squareBit(capturedSquare(m, s));
    return countFor(o, other, mover, epSquareAfter(pos, s, m));
}

template <std::uint64_t (*Self)(Position&, int)>
[[gnu::always_inline]] inline std::uint64_t perftNode(Position& pos, int depth) {
    if (depth <= 0) return 1;
    if (depth == 1) return static_cast<std::uint64_t>(countMovesInline(pos));
    if (isGameOver(pos)) return 0;
    generateMoves(pos);
    const MoveList& list = pos.moveLists[pos.ply];
    std::uint64_t total = 0;
    if (depth == 2) {
        for (std::uint32_t i = 0; i < list.count; ++i)
            total += static_cast<std::uint64_t>(countAfter(pos, list.moves[i].move));
        return total;
    }
    for (std::uint32_t i = 0; i < list.count; ++i) {
        makeMove(pos, list.moves[i]);
        total += Self(pos, depth - 1);
        unmakeMove(pos);
    }
    return total;
}

std::uint64_t perftPortable(Position& pos, int depth) {
    return perftNode<perftPortable>(pos, depth);
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__POPCNT__)
// The portable build has no bit-count instruction and calls a library
// routine for every count; the perft leaves are nothing but counts, so on
// a processor that has the instruction, perft runs a copy compiled for it.
#define QUILLFEN_PERFT_POPCNT 1
[[gnu::target("popcnt")]] std::uint64_t perftPopcnt(Position& pos, int depth) {
    return perftNode<perftPopcnt>(pos, depth);
}
#endif

}  // namespace

int countMoves(const Position& pos) { return countMovesInline(pos); }

std::uint64_t perft(Position& pos, int depth) {
#ifdef QUILLFEN_PERFT_POPCNT
    static const bool hasPopcnt = __builtin_cpu_supports("popcnt");
    if (hasPopcnt) return perftPopcnt(pos, depth);
#endif
    return perftPortable(pos, depth);
}
