#include "board/movegen.h"

namespace {

struct EpTable {
    Bitboard sets[2][64] = {};
    constexpr EpTable() {
        for (int e = 40; e <= 47; ++e) {
            if (fileOf(e) != 0) sets[WHITE][e] |= squareBit(e - 9);
            if (fileOf(e) != 7) sets[WHITE][e] |= squareBit(e - 7);
        }
        for (int e = 16; e <= 23; ++e) {
            if (fileOf(e) != 0) sets[BLACK][e] |= squareBit(e + 7);
            if (fileOf(e) != 7) sets[BLACK][e] |= squareBit(e + 9);
        }
    }
};

constexpr EpTable EP_TABLE{};

inline void append(MoveList& list, Move code, int score) {
    list.moves[list.count].move = code;
    list.moves[list.count].score = static_cast<std::int16_t>(score);
    ++list.count;
}

// Walks the destination set lowest square first; from = to - offset.
inline void emit(MoveList& list, Bitboard targets, int offset, Move flags,
                 const int* scoreByRank) {
    for (; targets; targets &= targets - 1) {
        int to = lowestSquare(targets);
        append(list, makeMoveCode(to - offset, to, flags), scoreByRank[rankOf(to)]);
    }
}

inline Bitboard emptySquares(const Position& pos) {
    return ~(pos.pawns[WHITE] | pos.pawns[BLACK]);
}

}  // namespace

const Bitboard (&EP_ATTACKERS)[2][64] = EP_TABLE.sets;

void generatePromotionsWhite(const Position& pos, MoveList& list) {
    emit(list, (pos.pawns[WHITE] & rankMask(6)) << 8, 8, 0, STEP_SCORE[WHITE]);
}

void generatePromotionsBlack(const Position& pos, MoveList& list) {
    emit(list, (pos.pawns[BLACK] & rankMask(1)) >> 8, -8, 0, STEP_SCORE[BLACK]);
}

static void generateEnPassant(const Position& pos, MoveList& list, int e,
                              int side) {
    if (e == NO_SQUARE) return;
    for (Bitboard a = EP_ATTACKERS[side][e] & pos.pawns[side]; a; a &= a - 1)
        append(list, makeMoveCode(lowestSquare(a), e, CAPTURE_FLAG | EN_PASSANT_FLAG),
               EN_PASSANT_SCORE);
}

void generateEnPassantWhite(const Position& pos, MoveList& list, int epSquare) {
    generateEnPassant(pos, list, epSquare, WHITE);
}

void generateEnPassantBlack(const Position& pos, MoveList& list, int epSquare) {
    generateEnPassant(pos, list, epSquare, BLACK);
}

void generateCapturesWhite(const Position& pos, MoveList& list) {
    Bitboard sources = pos.pawns[WHITE] & 0x0000ffffffffff00ULL;
    emit(list, ((sources & NOT_FILE_A) << 7) & pos.pawns[BLACK], 7, CAPTURE_FLAG,
         CAPTURE_SCORE[WHITE]);
    emit(list, ((sources & NOT_FILE_H) << 9) & pos.pawns[BLACK], 9, CAPTURE_FLAG,
         CAPTURE_SCORE[WHITE]);
}

void generateCapturesBlack(const Position& pos, MoveList& list) {
    Bitboard sources = pos.pawns[BLACK] & 0x00ffffffffff0000ULL;
    emit(list, (sources >> 7) & pos.pawns[WHITE] & NOT_FILE_A, -7, CAPTURE_FLAG,
         CAPTURE_SCORE[BLACK]);
    emit(list, (sources >> 9) & pos.pawns[WHITE] & NOT_FILE_H, -9, CAPTURE_FLAG,
         CAPTURE_SCORE[BLACK]);
}

void generateStepsWhite(const Position& pos, MoveList& list) {
    emit(list, ((pos.pawns[WHITE] & 0x0000ffffffff0000ULL) << 8) & emptySquares(pos),
         8, 0, STEP_SCORE[WHITE]);
}

void generateStepsBlack(const Position& pos, MoveList& list) {
    emit(list, ((pos.pawns[BLACK] & 0x0000ffffffff0000ULL) >> 8) & emptySquares(pos),
         -8, 0, STEP_SCORE[BLACK]);
}

void generateStartStepsWhite(const Position& pos, MoveList& list) {
    Bitboard empty = emptySquares(pos);
    Bitboard singles = ((pos.pawns[WHITE] & rankMask(1)) << 8) & empty;
    emit(list, singles, 8, 0, STEP_SCORE[WHITE]);
    emit(list, (singles << 8) & empty, 16, DOUBLE_STEP_FLAG, STEP_SCORE[WHITE]);
}

void generateStartStepsBlack(const Position& pos, MoveList& list) {
    Bitboard empty = emptySquares(pos);
    Bitboard singles = ((pos.pawns[BLACK] & rankMask(6)) >> 8) & empty;
    emit(list, singles, -8, 0, STEP_SCORE[BLACK]);
    emit(list, (singles >> 8) & empty, -16, DOUBLE_STEP_FLAG, STEP_SCORE[BLACK]);
}

void generateMoves(Position& pos) {
    MoveList& list = pos.moveLists[pos.ply];
    list.count = 0;
    if (pos.side == WHITE) {
        generatePromotionsWhite(pos, list);
        generateEnPassantWhite(pos, list, pos.epSquares[pos.ply]);
        generateCapturesWhite(pos, list);
        generateStepsWhite(pos, list);
        generateStartStepsWhite(pos, list);
    } else {
        generatePromotionsBlack(pos, list);
        generateEnPassantBlack(pos, list, pos.epSquares[pos.ply]);
        generateCapturesBlack(pos, list);
        generateStepsBlack(pos, list);
        generateStartStepsBlack(pos, list);
    }
}

void generateTactical(Position& pos) {
    MoveList& list = pos.moveLists[pos.ply];
    list.count = 0;
    if (pos.side == WHITE) {
        generatePromotionsWhite(pos, list);
        generateEnPassantWhite(pos, list, pos.epSquares[pos.ply]);
        generateCapturesWhite(pos, list);
    } else {
        generatePromotionsBlack(pos, list);
        generateEnPassantBlack(pos, list, pos.epSquares[pos.ply]);
        generateCapturesBlack(pos, list);
    }
}
