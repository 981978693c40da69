// Shared by the solver's tests: the plain game value by exhaustive minimax,
// with no table and no shortcut, and random legal positions with few pawns.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/gameresult.h"
#include "board/movegen.h"
#include "board/position.h"
#include "tools/solve.h"

namespace solvetest {

// The value for the side to move, straight from the rules: every move is
// tried until one wins.
inline int minimax(Position& pos) {
    switch (gameResult(pos)) {
    case GameResult::DRAW: return DRAW;
    case GameResult::WHITE_WINS: return pos.side == WHITE ? WIN : LOSS;
    case GameResult::BLACK_WINS: return pos.side == BLACK ? WIN : LOSS;
    case GameResult::ONGOING: break;
    }
    generateMoves(pos);
    const MoveList list = pos.moveLists[pos.ply];
    int best = LOSS;
    for (std::uint32_t i = 0; i < list.count && best < WIN; ++i) {
        makeMove(pos, list.moves[i]);
        const int v = -minimax(pos);
        unmakeMove(pos);
        if (v > best) best = v;
    }
    return best;
}

// Whether the side to move can force a win within `plies` plies.
inline bool winsWithin(Position& pos, int plies) {
    if (plies <= 0 || gameResult(pos) != GameResult::ONGOING) return false;
    generateMoves(pos);
    const MoveList list = pos.moveLists[pos.ply];
    for (std::uint32_t i = 0; i < list.count; ++i) {
        makeMove(pos, list.moves[i]);
        bool won = isGameOver(pos);
        if (!won && plies >= 3 && gameResult(pos) == GameResult::ONGOING) {
            generateMoves(pos);
            const MoveList replies = pos.moveLists[pos.ply];
            won = true;
            for (std::uint32_t j = 0; j < replies.count && won; ++j) {
                makeMove(pos, replies.moves[j]);
                won = !isGameOver(pos) && winsWithin(pos, plies - 2);
                unmakeMove(pos);
            }
        }
        unmakeMove(pos);
        if (won) return true;
    }
    return false;
}

inline std::unique_ptr<Position> fromFen(const std::string& fen) {
    auto pos = std::make_unique<Position>();
    initPosition(*pos);
    std::string error;
    if (!setPositionFromFen(*pos, fen, error)) {
        ADD_FAILURE() << fen << ": " << error;
        return nullptr;
    }
    return pos;
}

// A small fixed-seed generator, so that a failure repeats.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

// A random legal position in FEN: up to `maxPawns` pawns a side on ranks 2
// to 7, sometimes none, sometimes with an en-passant square, and pawns more
// often far up the board, where lines are short.
inline std::string randomFen(Random& random, int maxPawns) {
    for (;;) {
        char board[64];
        for (char& c : board) c = '.';
        for (int side = 0; side < 2; ++side) {
            const int count = random.below(16) == 0 ? 0 : 1 + random.below(maxPawns);
            for (int placed = 0; placed < count;) {
                const int file = random.below(8);
                // Relative ranks 2..7, the upper half twice as likely.
                int rel = 1 + random.below(6);
                if (rel < 4 && random.below(2)) rel = 4 + random.below(3);
                const int rank = side == WHITE ? rel : 7 - rel;
                char& c = board[rank * 8 + file];
                if (c != '.') continue;
                c = side == WHITE ? 'P' : 'p';
                ++placed;
            }
        }
        std::string fen;
        for (int rank = 7; rank >= 0; --rank) {
            int empty = 0;
            for (int file = 0; file < 8; ++file) {
                const char c = board[rank * 8 + file];
                if (c == '.') {
                    ++empty;
                    continue;
                }
                if (empty) fen += static_cast<char>('0' + empty);
                empty = 0;
                fen += c;
            }
            if (empty) fen += static_cast<char>('0' + empty);
            if (rank) fen += '/';
        }
        const int side = random.below(2);
        fen += side == WHITE ? " w - " : " b - ";
        // An en-passant square behind a pawn of the side that just moved on
        // its fourth rank, with a pawn of the side to move beside it.
        std::string ep = "-";
        if (random.below(3) == 0) {
            const int moverRank = side == WHITE ? 4 : 3, passed = side == WHITE ? 5 : 2;
            const char mover = side == WHITE ? 'p' : 'P', own = side == WHITE ? 'P' : 'p';
            for (int file = 0; file < 8; ++file) {
                if (board[moverRank * 8 + file] != mover || board[passed * 8 + file] != '.' ||
                    board[(side == WHITE ? 6 : 1) * 8 + file] != '.')
                    continue;
                const bool beside = (file > 0 && board[moverRank * 8 + file - 1] == own) ||
                                    (file < 7 && board[moverRank * 8 + file + 1] == own);
                if (beside) ep = std::string(1, static_cast<char>('a' + file)) +
                                 static_cast<char>('1' + passed);
            }
        }
        fen += ep + " 0 1";
        auto probe = std::make_unique<Position>();
        initPosition(*probe);
        std::string error;
        if (setPositionFromFen(*probe, fen, error)) return fen;
    }
}

inline int solveValue(const Position& pos, SolveTable& table, const SolveOptions& options = {}) {
    Solver solver(table, options);
    return solver.solve(pos).value;
}

}  // namespace solvetest
