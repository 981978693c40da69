#include "board/fen.h"

#include <sstream>
#include <vector>

namespace {

std::vector<std::string> fields(std::string_view text) {
    std::vector<std::string> out;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

}  // namespace

bool setPositionFromFen(Position& pos, std::string_view fen, std::string& error) {
    std::vector<std::string> f = fields(fen);
    if (f.size() < 2) {
        error = "expected at least a board and a side to move";
        return false;
    }
    if (f.size() > 6) {
        error = "too many fields";
        return false;
    }
    Bitboard pawns[2] = {0, 0};
    int rank = 7, file = 0;
    for (char c : f[0]) {
        if (c == '/') {
            if (file != 8 || rank == 0) {
                error = "rank " + std::to_string(rank + 1) + " does not hold 8 squares";
                return false;
            }
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) {
                error = "rank " + std::to_string(rank + 1) + " holds more than 8 squares";
                return false;
            }
        } else if (c == 'P' || c == 'p') {
            if (file >= 8) {
                error = "rank " + std::to_string(rank + 1) + " holds more than 8 squares";
                return false;
            }
            int side = c == 'P' ? WHITE : BLACK;
            if (rank == PROMOTION_RANK[side ^ 1]) {
                error = std::string("a ") + (side == WHITE ? "white" : "black") +
                        " pawn on its own first rank";
                return false;
            }
            pawns[side] |= squareBit(rank * 8 + file);
            ++file;
        } else {
            error = std::string("'") + c + "' is not a pawn, a digit or '/'";
            return false;
        }
    }
    if (rank != 0 || file != 8) {
        error = "the board does not hold 8 ranks of 8 squares";
        return false;
    }
    if (popCount(pawns[WHITE]) > 8 || popCount(pawns[BLACK]) > 8) {
        error = "more than eight pawns of one side";
        return false;
    }
    int side;
    if (f[1] == "w") side = WHITE;
    else if (f[1] == "b") side = BLACK;
    else {
        error = "side to move must be w or b";
        return false;
    }
    // A pawn of the side to move on its own last rank won the game before
    // this position could arise; it is not a position to play from.
    if (pawns[side] & rankMask(PROMOTION_RANK[side])) {
        error = std::string("a ") + (side == WHITE ? "white" : "black") +
                " pawn on its last rank with its side to move";
        return false;
    }
    if (f.size() >= 3 && f[2] != "-") {
        error = "castling field must be -";
        return false;
    }
    int ep = NO_SQUARE;
    if (f.size() >= 4 && f[3] != "-") {
        const std::string& e = f[3];
        int wantRank = side == WHITE ? 5 : 2;
        if (e.size() != 2 || e[0] < 'a' || e[0] > 'h' || e[1] - '1' != wantRank) {
            error = "en-passant square must be - or a square on rank " +
                    std::to_string(wantRank + 1);
            return false;
        }
        ep = (e[0] - 'a') + 8 * wantRank;
        // The pawn that has just double-stepped stands beyond the square.
        int pawnSquare = ep - PUSH[side];
        if (!(pawns[side ^ 1] & squareBit(pawnSquare)) ||
            ((pawns[WHITE] | pawns[BLACK]) & squareBit(ep)) ||
            ((pawns[WHITE] | pawns[BLACK]) & squareBit(ep + PUSH[side]))) {
            error = "no pawn can just have double-stepped past " + e;
            return false;
        }
        // The engine keeps an en-passant square only when a capture onto it
        // is possible.
        if (!(besideSquares(squareBit(pawnSquare)) & pawns[side])) ep = NO_SQUARE;
    }
    for (std::size_t i = 4; i < f.size(); ++i) {
        for (char c : f[i]) {
            if (c < '0' || c > '9') {
                error = "move counters must be numbers";
                return false;
            }
        }
    }
    pos.pawns[WHITE] = pawns[WHITE];
    pos.pawns[BLACK] = pawns[BLACK];
    pos.pawnCount[WHITE] = popCount(pawns[WHITE]);
    pos.pawnCount[BLACK] = popCount(pawns[BLACK]);
    pos.side = side;
    pos.ply = 0;
    pos.moveLists[0].count = 0;
    pos.epSquares[0] = ep;
    pos.hashKeys[0] = computeHash(pos.pawns, side, ep);
    return true;
}

std::string positionToFen(const Position& pos) {
    std::string out;
    for (int rank = 7; rank >= 0; --rank) {
        int run = 0;
        for (int file = 0; file < 8; ++file) {
            Bitboard bit = squareBit(rank * 8 + file);
            char c = (pos.pawns[WHITE] & bit) ? 'P' : (pos.pawns[BLACK] & bit) ? 'p' : 0;
            if (!c) {
                ++run;
                continue;
            }
            if (run) out += static_cast<char>('0' + run);
            run = 0;
            out += c;
        }
        if (run) out += static_cast<char>('0' + run);
        if (rank) out += '/';
    }
    out += pos.side == WHITE ? " w - " : " b - ";
    int ep = pos.epSquares[pos.ply];
    if (ep == NO_SQUARE) out += '-';
    else {
        out += static_cast<char>('a' + fileOf(ep));
        out += static_cast<char>('1' + rankOf(ep));
    }
    out += " 0 1";
    return out;
}
