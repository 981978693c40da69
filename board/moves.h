// Squares, sides, bitboards and move codes: the vocabulary every other file
// of the engine speaks.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

using Bitboard = std::uint64_t;
using Move = std::uint16_t;

enum : int { WHITE = 0, BLACK = 1, NO_SIDE = 2 };

// a1 = 0, h1 = 7, a8 = 56, h8 = 63.
constexpr int NO_SQUARE = 64;

// Every per-ply stack of the position holds this many plies. The longest
// legal game of pawn chess is 81 plies (each of the sixteen pawns makes at
// most five steps before the winning one), so a whole game plus a search
// beyond its last move always fits. The search's ply horizon and the
// deepening stop rule use the same bound.
constexpr int MAX_PLY = 128;

// Room for every move of one position: eight pawns with at most four moves
// each (two steps and two captures on the start rank, otherwise one step and
// two captures).
constexpr int MAX_MOVES = 32;

// A principal variation holds at most this many moves.
constexpr int PV_MAX = 30;

constexpr int START_RANK[2] = {1, 6};
constexpr int PROMOTION_RANK[2] = {7, 0};
constexpr int LAST_BUT_ONE_RANK[2] = {6, 1};
constexpr int LAST_BUT_TWO_RANK[2] = {5, 2};
constexpr int PUSH[2] = {8, -8};

constexpr Bitboard NOT_FILE_A = 0xfefefefefefefefeULL;
constexpr Bitboard NOT_FILE_H = 0x7f7f7f7f7f7f7f7fULL;

constexpr Bitboard rankMask(int rank) { return Bitboard{0xff} << (8 * rank); }

// The squares of rank indexes first..last. The masks below are named by the
// ranks as a player counts them, 1 to 8, which is the rank index plus one:
// RANKS_2_TO_6 holds rank indexes 1 to 5.
constexpr Bitboard rankSpan(int first, int last) {
    Bitboard b = 0;
    for (int r = first; r <= last; ++r) b |= rankMask(r);
    return b;
}
constexpr Bitboard RANKS_2_TO_5 = rankSpan(1, 4);
constexpr Bitboard RANKS_2_TO_6 = rankSpan(1, 5);
constexpr Bitboard RANKS_3_TO_6 = rankSpan(2, 5);
constexpr Bitboard RANKS_3_TO_7 = rankSpan(2, 6);
constexpr Bitboard RANKS_4_TO_7 = rankSpan(3, 6);

// The squares directly left and right of those of b, on the same rank.
constexpr Bitboard besideSquares(Bitboard b) {
    return ((b & NOT_FILE_H) << 1) | ((b >> 1) & NOT_FILE_H);
}

constexpr Bitboard squareBit(int sq) { return Bitboard{1} << sq; }
constexpr int fileOf(int sq) { return sq & 7; }
constexpr int rankOf(int sq) { return sq >> 3; }

// Bit counting and scanning over 16-bit chunks.
extern std::uint8_t POPCOUNT16[65536];
extern std::uint8_t LOWEST_BIT16[65536];
void initBitTables();

inline int popCount(Bitboard b) {
    return POPCOUNT16[b & 0xffff] + POPCOUNT16[(b >> 16) & 0xffff] +
           POPCOUNT16[(b >> 32) & 0xffff] + POPCOUNT16[b >> 48];
}

inline int lowestSquare(Bitboard b) {
    for (int j = 0; j < 4; ++j) {
        unsigned c = static_cast<unsigned>((b >> (16 * j)) & 0xffff);
        if (c != 0) return LOWEST_BIT16[c] + 16 * j;
    }
    return NO_SQUARE;
}

// Calls visit(square) for every square of b, lowest first, as lowestSquare
// and clearing the lowest bit would: each non-empty 16-bit chunk is scanned
// through LOWEST_BIT16, and the walk ends with the highest non-empty chunk.
template <class Visit>
inline void forEachSquare(Bitboard b, Visit&& visit) {
    for (int base = 0; b != 0; base += 16, b >>= 16) {
        for (unsigned c = static_cast<unsigned>(b & 0xffff); c != 0; c &= c - 1)
            visit(LOWEST_BIT16[c] + base);
    }
}

// Move code: bits 0-6 from (64 marks a no move), 7-12 to, 13 capture,
// 14 double step, 15 en passant.
constexpr Move NO_MOVE = 0x0040;
constexpr Move CAPTURE_FLAG = 1u << 13;
constexpr Move DOUBLE_STEP_FLAG = 1u << 14;
constexpr Move EN_PASSANT_FLAG = 1u << 15;

constexpr int moveFrom(Move m) { return m & 0x7f; }
constexpr int moveTo(Move m) { return (m >> 7) & 0x3f; }
constexpr bool isCapture(Move m) { return (m & CAPTURE_FLAG) != 0; }
constexpr bool isDoubleStep(Move m) { return (m & DOUBLE_STEP_FLAG) != 0; }
constexpr bool isEnPassant(Move m) { return (m & EN_PASSANT_FLAG) != 0; }
constexpr bool isNoMove(Move m) { return moveFrom(m) == NO_SQUARE; }
constexpr bool sameMove(Move a, Move b) { return a == b; }

// The square of the pawn that a capture removes.
constexpr int capturedSquare(Move m, int mover) {
    return isEnPassant(m) ? moveTo(m) - PUSH[mover] : moveTo(m);
}

constexpr Move makeMoveCode(int from, int to, Move flags) {
    return static_cast<Move>(from | (to << 7) | flags);
}

struct ScoredMove {
    Move move = NO_MOVE;
    std::int16_t score = 0;
};

ScoredMove packMove(int from, int to, int capture, int doubleStep,
                    int enPassant, std::int16_t score);

struct MoveList {
    ScoredMove moves[MAX_MOVES];
    std::uint32_t count = 0;
};

// Slot `count` holds a no move whenever count is below PV_MAX + 1; the last
// slot exists only for that terminator.
struct PvLine {
    ScoredMove moves[PV_MAX + 1];
    std::uint32_t count = 0;
};

// The bytes of a ScoredMove{} read as one word. C++ libraries without
// std::bit_cast (Emscripten's libc++) build the word from the fields in
// their little-endian layout.
constexpr std::uint32_t emptyMoveWord() {
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<std::uint32_t>(ScoredMove{});
#else
    static_assert(std::endian::native == std::endian::little);
    return std::uint32_t{ScoredMove{}.move} |
           std::uint32_t{static_cast<std::uint16_t>(ScoredMove{}.score)} << 16;
#endif
}

// Every slot {NO_MOVE, 0}, count 0: one block copy of an empty line's
// bytes rather than a loop over the slots' halves.
inline void clearPv(PvLine& line) {
    static_assert(sizeof(PvLine) == 4 * (PV_MAX + 2) && sizeof(ScoredMove) == 4);
    struct EmptyWords {
        std::uint32_t words[PV_MAX + 2];
        constexpr EmptyWords() : words{} {
            for (int i = 0; i <= PV_MAX; ++i) words[i] = emptyMoveWord();
        }
    };
    static constexpr EmptyWords EMPTY{};
    std::memcpy(static_cast<void*>(&line), EMPTY.words, sizeof(PvLine));
}

// Empties a line by its count and a terminator in slot 0. The slots beyond
// keep what they held: every reader of a line stops at its first no move,
// so the line reads exactly as one that clearPv emptied.
inline void resetPv(PvLine& line) {
    line.moves[0] = ScoredMove{};
    line.count = 0;
}
void updatePv(PvLine& line, ScoredMove m, const PvLine& child);

// "e2e4", or "null" for a no move. The buffer holds at least 5 bytes.
void moveText(Move m, char* buffer);
std::string moveText(Move m);
