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
    emit(list, promotionTargets<WHITE>(pos.pawns[WHITE]), 8, 0, STEP_SCORE[WHITE]);
}

void generatePromotionsBlack(const Position& pos, MoveList& list) {
    emit(list, promotionTargets<BLACK>(pos.pawns[BLACK]), -8, 0, STEP_SCORE[BLACK]);
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
    const Bitboard own = pos.pawns[WHITE], enemy = pos.pawns[BLACK];
    emit(list, captureTargets<WHITE, 7>(own, enemy), 7, CAPTURE_FLAG, CAPTURE_SCORE[WHITE]);
    emit(list, captureTargets<WHITE, 9>(own, enemy), 9, CAPTURE_FLAG, CAPTURE_SCORE[WHITE]);
}

void generateCapturesBlack(const Position& pos, MoveList& list) {
    const Bitboard own = pos.pawns[BLACK], enemy = pos.pawns[WHITE];
    emit(list, captureTargets<BLACK, -7>(own, enemy), -7, CAPTURE_FLAG, CAPTURE_SCORE[BLACK]);
    emit(list, captureTargets<BLACK, -9>(own, enemy), -9, CAPTURE_FLAG, CAPTURE_SCORE[BLACK]);
}

void generateStepsWhite(const Position& pos, MoveList& list) {
    emit(list, stepTargets<WHITE>(pos.pawns[WHITE], emptySquares(pos)), 8, 0, STEP_SCORE[WHITE]);
}

void generateStepsBlack(const Position& pos, MoveList& list) {
    emit(list, stepTargets<BLACK>(pos.pawns[BLACK], emptySquares(pos)), -8, 0, STEP_SCORE[BLACK]);
}

void generateStartStepsWhite(const Position& pos, MoveList& list) {
    const Bitboard empty = emptySquares(pos);
    const Bitboard singles = startStepTargets<WHITE>(pos.pawns[WHITE], empty);
    emit(list, singles, 8, 0, STEP_SCORE[WHITE]);
    emit(list, doubleStepTargets<WHITE>(singles, empty), 16, DOUBLE_STEP_FLAG, STEP_SCORE[WHITE]);
}

void generateStartStepsBlack(const Position& pos, MoveList& list) {
    const Bitboard empty = emptySquares(pos);
    const Bitboard singles = startStepTargets<BLACK>(pos.pawns[BLACK], empty);
    emit(list, singles, -8, 0, STEP_SCORE[BLACK]);
    emit(list, doubleStepTargets<BLACK>(singles, empty), -16, DOUBLE_STEP_FLAG, STEP_SCORE[BLACK]);
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
