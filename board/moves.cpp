#include "board/moves.h"

std::uint8_t POPCOUNT16[65536];
std::uint8_t LOWEST_BIT16[65536];

void initBitTables() {
    static bool built = false;
    if (built) return;
    for (unsigned v = 0; v < 65536; ++v) {
        int count = 0;
        int lowest = 16;
        for (int j = 15; j >= 0; --j) {
            if (v & (1u << j)) {
                ++count;
                lowest = j;
            }
        }
        POPCOUNT16[v] = static_cast<std::uint8_t>(count);
        LOWEST_BIT16[v] = static_cast<std::uint8_t>(lowest);
    }
    built = true;
}

ScoredMove packMove(int from, int to, int capture, int doubleStep,
                    int enPassant, std::int16_t score) {
    unsigned code = (static_cast<unsigned>(from) & 0x7f) |
                    ((static_cast<unsigned>(to) & 0x3f) << 7) |
                    ((static_cast<unsigned>(capture) & 1) << 13) |
                    ((static_cast<unsigned>(doubleStep) & 1) << 14) |
                    ((static_cast<unsigned>(enPassant) & 1) << 15);
    return ScoredMove{static_cast<Move>(code), score};
}

void updatePv(PvLine& line, ScoredMove m, const PvLine& child) {
    line.moves[0] = m;
    line.count = 1;
    for (int i = 1; i <= PV_MAX; ++i) {
        line.moves[i] = child.moves[i - 1];
        if (isNoMove(line.moves[i].move)) return;
        ++line.count;
    }
    // All thirty copies held moves: keep thirty and end the line.
    line.count = PV_MAX;
    line.moves[PV_MAX].move =
        static_cast<Move>((line.moves[PV_MAX].move & ~0x7fu) | NO_SQUARE);
}

void moveText(Move m, char* buffer) {
    if (isNoMove(m)) {
        buffer[0] = 'n'; buffer[1] = 'u'; buffer[2] = 'l'; buffer[3] = 'l';
        buffer[4] = '\0';
        return;
    }
    int from = moveFrom(m), to = moveTo(m);
    buffer[0] = static_cast<char>('a' + fileOf(from));
    buffer[1] = static_cast<char>('1' + rankOf(from));
    buffer[2] = static_cast<char>('a' + fileOf(to));
    buffer[3] = static_cast<char>('1' + rankOf(to));
    buffer[4] = '\0';
}

std::string moveText(Move m) {
    char buffer[5];
    moveText(m, buffer);
    return buffer;
}
