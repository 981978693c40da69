#include "board/gameresult.h"

#include "board/perft.h"

GameResult gameResult(const Position& pos) {
    if (isGameOver(pos)) return pos.side == BLACK ? GameResult::WHITE_WINS : GameResult::BLACK_WINS;
    if (countMoves(pos) == 0) return GameResult::DRAW;
    return GameResult::ONGOING;
}
