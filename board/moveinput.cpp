#include "board/moveinput.h"

#include <cstdio>

int squareOwner(const Position& pos, int sq) {
    if (pos.pawns[WHITE] & squareBit(sq)) return WHITE;
    if (pos.pawns[BLACK] & squareBit(sq)) return BLACK;
    return 2;
}

bool isEmpty(const Position& pos, int sq) {
    return ((pos.pawns[WHITE] | pos.pawns[BLACK]) & squareBit(sq)) == 0;
}

bool validateMove(const Position& pos, int from, int to, MoveFlags& flags) {
    flags = MoveFlags{};
    const int s = pos.side, o = s ^ 1;
    const int d = to - from;
    if (squareOwner(pos, from) != s) return false;
    if (d == PUSH[s]) return isEmpty(pos, to);
    if (d == 2 * PUSH[s]) {
        if (rankOf(from) != START_RANK[s] || !isEmpty(pos, to) ||
            !isEmpty(pos, to - PUSH[s]))
            return false;
        flags.doubleStep = true;
        return true;
    }
    if ((d == PUSH[s] - 1 || d == PUSH[s] + 1) &&
        (fileOf(to) - fileOf(from) == 1 || fileOf(from) - fileOf(to) == 1)) {
        if (to == pos.epSquares[pos.ply]) {
            flags.capture = flags.enPassant = true;
            return true;
        }
        if (squareOwner(pos, to) != o) return false;
        flags.capture = true;
        return true;
    }
    return false;
}

static char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool parseMove(Position& game, bool& boardChanged, std::string_view line) {
    bool legal = false;
    MoveFlags flags;
    int from = 0, to = 0;
    // A game position at the last ply of the stacks takes no further move;
    // no legal game comes near it.
    if (line.size() >= 4 && game.ply < MAX_PLY) {
        int fromFile = lower(line[0]) - 'a', fromRank = line[1] - '1';
        int toFile = lower(line[2]) - 'a', toRank = line[3] - '1';
        if (fromFile >= 0 && fromFile <= 7 && fromRank >= 1 && fromRank <= 6 &&
            toFile >= 0 && toFile <= 7 && toRank >= 0 && toRank <= 7) {
            from = fromFile + 8 * fromRank;
            to = toFile + 8 * toRank;
            legal = validateMove(game, from, to, flags);
        }
    }
    if (!legal) {
        std::printf("Error (illegal move): %.*s\n", static_cast<int>(line.size()),
                    line.data());
        std::fflush(stdout);
        return false;
    }
    makeMove(game, packMove(from, to, flags.capture, flags.doubleStep,
                            flags.enPassant, 0));
    boardChanged = true;
    return true;
}
