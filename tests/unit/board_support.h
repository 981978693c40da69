// Small helpers shared by the board tests: positions built square by square,
// moves written as text, and a decoding of move codes that does not go
// through the engine's own accessors.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/hash.h"
#include "board/movegen.h"
#include "board/position.h"

namespace boardtest {

// Squares or moves written as text, "e2" or "e2e4".
using Squares = std::vector<const char*>;

// "e4" -> 28.
inline int sq(std::string_view name) {
    return (name[0] - 'a') + 8 * (name[1] - '1');
}

inline std::string squareName(int s) {
    return {static_cast<char>('a' + s % 8), static_cast<char>('1' + s / 8)};
}

// A Position is large (its stacks hold a whole game), so tests keep it on
// the heap.
inline std::unique_ptr<Position> startPosition() {
    auto pos = std::make_unique<Position>();
    initPosition(*pos);
    return pos;
}

// Sets up an arbitrary placement at ply 0 with its full key.
inline std::unique_ptr<Position> placed(const Squares& white, const Squares& black,
                                        int side = WHITE, int epSquare = NO_SQUARE) {
    auto pos = startPosition();
    pos->pawns[WHITE] = pos->pawns[BLACK] = 0;
    for (const char* s : white) pos->pawns[WHITE] |= Bitboard{1} << sq(s);
    for (const char* s : black) pos->pawns[BLACK] |= Bitboard{1} << sq(s);
    pos->pawnCount[WHITE] = static_cast<int>(white.size());
    pos->pawnCount[BLACK] = static_cast<int>(black.size());
    pos->side = side;
    pos->ply = 0;
    pos->epSquares[0] = epSquare;
    pos->hashKeys[0] = computeHash(pos->pawns, side, epSquare);
    return pos;
}

// A move code decoded by plain bit arithmetic: "e5d6 ep", "e2e4 ds", "d4e5 x",
// "e2e3"; any other flag combination is spelled out bit by bit so that a
// wrong code shows in a failure message.
inline std::string describe(Move code) {
    int from = code & 0x7f, to = (code >> 7) & 0x3f;
    bool capture = code & 0x2000, dbl = code & 0x4000, ep = code & 0x8000;
    std::string text = from == 64 ? "null" : squareName(from) + squareName(to);
    if (capture && ep && !dbl) return text + " ep";
    if (capture && !ep && !dbl) return text + " x";
    if (dbl && !capture && !ep) return text + " ds";
    if (!capture && !dbl && !ep) return text;
    return text + (capture ? " C" : "") + (dbl ? " D" : "") + (ep ? " E" : "");
}

inline std::string describe(ScoredMove m) {
    return describe(m.move) + " " + std::to_string(m.score);
}

inline std::vector<std::string> describe(const MoveList& list) {
    std::vector<std::string> out;
    for (std::uint32_t i = 0; i < list.count; ++i) out.push_back(describe(list.moves[i]));
    return out;
}

inline const MoveList& generated(Position& pos) {
    generateMoves(pos);
    return pos.moveLists[pos.ply];
}

// Finds the move "e2e4" among the generated moves of the side to move.
inline ScoredMove findMove(Position& pos, std::string_view text) {
    const MoveList& list = generated(pos);
    for (std::uint32_t i = 0; i < list.count; ++i) {
        Move m = list.moves[i].move;
        if ((m & 0x7f) == sq(text.substr(0, 2)) && ((m >> 7) & 0x3f) == sq(text.substr(2, 2)))
            return list.moves[i];
    }
    ADD_FAILURE() << "move " << text << " is not generated";
    return ScoredMove{};
}

// Plays the generated moves written as text, one after the other.
inline void play(Position& pos, const Squares& moves) {
    for (const char* text : moves) {
        ScoredMove m = findMove(pos, text);
        ASSERT_FALSE(m.move == NO_MOVE) << text;
        makeMove(pos, m);
    }
}

// Everything that is meaningful at the current ply: the pawns, counts,
// side, ply, and the stacks up to it.
struct Snapshot {
    Bitboard pawns[2];
    int counts[2];
    int side, ply;
    std::vector<std::uint64_t> keys;
    std::vector<int> eps;
    std::vector<Move> history;

    explicit Snapshot(const Position& pos)
        : pawns{pos.pawns[0], pos.pawns[1]},
          counts{pos.pawnCount[0], pos.pawnCount[1]},
          side(pos.side),
          ply(pos.ply),
          keys(pos.hashKeys, pos.hashKeys + pos.ply + 1),
          eps(pos.epSquares, pos.epSquares + pos.ply + 1) {
        for (int p = 0; p < pos.ply; ++p) history.push_back(pos.history[p].move);
    }
    bool operator==(const Snapshot&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    out << std::hex << "{W " << s.pawns[0] << " B " << s.pawns[1] << std::dec << " counts "
        << s.counts[0] << "/" << s.counts[1] << " side " << s.side << " ply " << s.ply
        << " key " << std::hex << s.keys.back() << std::dec << " ep " << s.eps.back() << "}";
    return out;
}

}  // namespace boardtest
