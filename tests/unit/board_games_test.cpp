// Random games from the start position, with every position along them
// checked: the invariants of the record, the incremental key against the
// full key, the en-passant rule, make/unmake of every move, the bulk move
// count, the tactical subset, and the typed-move rule check against the
// generator over all from/to pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "board_support.h"
#include "board/moveinput.h"
#include "board/perft.h"

using namespace boardtest;

namespace {

struct Coverage {
    int positions = 0, enPassantPositions = 0, enPassantCaptures = 0, promotions = 0,
        gamesWon = 0, longestGame = 0;
};

// The en-passant square after the last move, worked out from the board.
int expectedEpSquare(const Position& pos) {
    const Move m = pos.history[pos.ply - 1].move;
    const int mover = pos.side ^ 1;
    if (!(m & 0x4000)) return NO_SQUARE;
    const int to = (m >> 7) & 0x3f;
    for (int file : {to % 8 - 1, to % 8 + 1}) {
        if (file < 0 || file > 7) continue;
        if (squareOwner(pos, to - to % 8 + file) == pos.side) return mover == WHITE ? to - 8 : to + 8;
    }
    return NO_SQUARE;
}

void checkPosition(Position& pos, Coverage& seen) {
    const int ply = pos.ply;
    ++seen.positions;
    ASSERT_EQ(pos.pawns[WHITE] & pos.pawns[BLACK], 0u);
    ASSERT_EQ(pos.pawnCount[WHITE], popCount(pos.pawns[WHITE]));
    ASSERT_EQ(pos.pawnCount[BLACK], popCount(pos.pawns[BLACK]));
    ASSERT_EQ(pos.side, ply % 2);
    ASSERT_EQ(pos.hashKeys[ply], computeHash(pos.pawns, pos.side, pos.epSquares[ply])) << "ply " << ply;
    if (ply > 0) {
        ASSERT_EQ(pos.epSquares[ply], expectedEpSquare(pos)) << "ply " << ply;
    }
    if (pos.epSquares[ply] != NO_SQUARE) ++seen.enPassantPositions;

    const MoveList list = generated(pos);
    ASSERT_LE(list.count, static_cast<unsigned>(MAX_MOVES));

    // The bulk count of the last perft ply matches the list, except where
    // the game is over and nothing is counted.
    ASSERT_EQ(countMoves(pos), isGameOver(pos) ? 0 : static_cast<int>(list.count)) << "ply " << ply;

    // The tactical list is the full list without the steps.
    generateTactical(pos);
    std::vector<std::string> tactical;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        const Move m = list.moves[i].move;
        const int to = (m >> 7) & 0x3f;
        if ((m & 0x2000) || to / 8 == PROMOTION_RANK[pos.side]) tactical.push_back(describe(list.moves[i]));
    }
    ASSERT_EQ(describe(pos.moveLists[ply]), tactical) << "ply " << ply;

    // The rule check accepts exactly the generated moves, with their flags.
    std::set<Move> generatedCodes;
    for (std::uint32_t i = 0; i < list.count; ++i) generatedCodes.insert(list.moves[i].move);
    ASSERT_EQ(generatedCodes.size(), list.count) << "a move is listed twice";
    for (int from = 0; from < 64; ++from) {
        for (int to = 0; to < 64; ++to) {
            MoveFlags flags;
            const bool legal = validateMove(pos, from, to, flags);
            const Move code = packMove(from, to, flags.capture, flags.doubleStep, flags.enPassant, 0).move;
            const bool listed = legal ? generatedCodes.count(code) == 1
                                      : std::any_of(generatedCodes.begin(), generatedCodes.end(),
                                                    [&](Move m) {
                                                        return (m & 0x7f) == from && ((m >> 7) & 0x3f) == to;
                                                    });
            ASSERT_EQ(legal, listed) << squareName(from) << squareName(to) << " at ply " << ply
                                     << (legal ? " accepted by the rule check as " + describe(code)
                                               : " refused by the rule check");
        }
    }

    // Every move can be made and taken back without a trace.
    const Snapshot before(pos);
    for (std::uint32_t i = 0; i < list.count; ++i) {
        makeMove(pos, list.moves[i]);
        ASSERT_EQ(pos.hashKeys[pos.ply], computeHash(pos.pawns, pos.side, pos.epSquares[pos.ply]))
            << describe(list.moves[i]) << " at ply " << ply;
        unmakeMove(pos);
        ASSERT_EQ(Snapshot(pos), before) << describe(list.moves[i]) << " at ply " << ply;
    }
}

// Plays one game until it is over or the side to move has no move left.
void playGame(unsigned seed, Coverage& seen) {
    auto pos = startPosition();
    std::mt19937 rng(seed);
    std::vector<Snapshot> path;
    for (;;) {
        checkPosition(*pos, seen);
        if (testing::Test::HasFatalFailure()) return;
        if (isGameOver(*pos)) {
            ++seen.gamesWon;
            break;
        }
        const MoveList& list = generated(*pos);
        if (list.count == 0) break;
        // Prefer captures a little, so that games see more of them.
        std::uint32_t pick = rng() % list.count;
        if (rng() % 3 == 0 && isCapture(list.moves[0].move)) pick = 0;
        const ScoredMove m = list.moves[pick];
        if (isEnPassant(m.move)) ++seen.enPassantCaptures;
        if (((m.move >> 7) & 0x3f) / 8 == PROMOTION_RANK[pos->side]) ++seen.promotions;
        path.emplace_back(*pos);
        ASSERT_LT(pos->ply, MAX_PLY);
        makeMove(*pos, m);
    }
    seen.longestGame = std::max(seen.longestGame, pos->ply);
    // Taking the whole game back retraces every position.
    while (!path.empty()) {
        unmakeMove(*pos);
        ASSERT_EQ(Snapshot(*pos), path.back());
        path.pop_back();
    }
}

TEST(RandomGames, EveryPositionIsConsistent) {
    Coverage seen;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("game seed " + std::to_string(seed));
        playGame(seed, seen);
        if (HasFatalFailure()) return;
    }
    // The games must have met the cases that matter, or they prove little.
    EXPECT_GT(seen.enPassantPositions, 20);
    EXPECT_GT(seen.enPassantCaptures, 3);
    EXPECT_GT(seen.promotions, 10);
    EXPECT_GT(seen.gamesWon, 10);
    EXPECT_LE(seen.longestGame, MAX_PLY);
    RecordProperty("positions", seen.positions);
}

}  // namespace
