// Move generation: which moves, in which order, with which codes and scores.
#include <gtest/gtest.h>

#include "board_support.h"

using namespace boardtest;

namespace {

using Lines = std::vector<std::string>;

struct GenCase {
    const char* name;
    Squares white, black;
    int side;
    const char* ep;  // "" for none
    Lines expected;  // "from-to [flags] score", in generation order
};

// Moves are written "e2e4 ds 200": flags x (capture), ep (capture and en
// passant), ds (double step).
const GenCase CASES[] = {
    {"start position, White",
     {"a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2"},
     {"a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7"},
     WHITE, "",
     {"a2a3 0", "b2b3 0", "c2c3 0", "d2d3 0", "e2e3 0", "f2f3 0", "g2g3 0", "h2h3 0",
      "a2a4 ds 200", "b2b4 ds 200", "c2c4 ds 200", "d2d4 ds 200", "e2e4 ds 200",
      "f2f4 ds 200", "g2g4 ds 200", "h2h4 ds 200"}},
    {"start position after e2e4, Black",
     {"a2", "b2", "c2", "d2", "e4", "f2", "g2", "h2"},
     {"a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7"},
     BLACK, "",
     {"a7a6 0", "b7b6 0", "c7c6 0", "d7d6 0", "e7e6 0", "f7f6 0", "g7g6 0", "h7h6 0",
      "a7a5 ds 200", "b7b5 ds 200", "c7c5 ds 200", "d7d5 ds 200", "e7e5 ds 200",
      "f7f5 ds 200", "g7g5 ds 200", "h7h5 ds 200"}},
    {"promotion first", {"d2", "b7"}, {"h7"}, WHITE, "",
     {"b7b8 10000", "d2d3 0", "d2d4 ds 200"}},
    {"black promotions, then capture, then start steps", {"d6", "a8"}, {"b2", "g2", "e7"}, BLACK, "",
     {"b2b1 10000", "g2g1 10000", "e7d6 x 1000", "e7e6 0", "e7e5 ds 200"}},
    {"a promoted pawn has no moves", {"a8", "c7"}, {"h7"}, WHITE, "", {"c7c8 10000"}},
    {"white en passant from both sides", {"c5", "e5"}, {"d5"}, WHITE, "d6",
     {"c5d6 ep 600", "e5d6 ep 600", "c5c6 600", "e5e6 600"}},
    {"black en passant from both sides", {"e4"}, {"d4", "f4"}, BLACK, "e3",
     {"d4e3 ep 600", "f4e3 ep 600", "d4d3 600", "f4f3 600"}},
    // The pawns on the far edge stand where a wrapped attacker table would
    // take them from.
    {"white en passant onto a6", {"b5", "h4"}, {"a5"}, WHITE, "a6",
     {"b5a6 ep 600", "h4h5 400", "b5b6 600"}},
    {"white en passant onto h6", {"g5", "a6"}, {"h5"}, WHITE, "h6",
     {"g5h6 ep 600", "g5g6 600", "a6a7 800"}},
    {"black en passant onto a3", {"a4"}, {"b4", "h3"}, BLACK, "a3",
     {"b4a3 ep 600", "h3h2 800", "b4b3 600"}},
    {"black en passant onto h3", {"h4"}, {"g4", "a5"}, BLACK, "h3",
     {"g4h3 ep 600", "g4g3 600", "a5a4 400"}},
    {"white a-file capture does not wrap to h4", {"a4"}, {"b5", "h4"}, WHITE, "",
     {"a4b5 x 1400", "a4a5 400"}},
    {"white h-file capture does not wrap to a6", {"h4"}, {"g5", "a6"}, WHITE, "",
     {"h4g5 x 1400", "h4h5 400"}},
    {"black h-file capture does not wrap to a6", {"a6"}, {"h6"}, BLACK, "", {"h6h5 200"}},
    {"black a-file capture does not wrap to h4", {"h4"}, {"a6"}, BLACK, "", {"a6a5 200"}},
    {"white captures: towards the a-file first", {"b4", "d4"}, {"c5", "e5"}, WHITE, "",
     {"d4c5 x 1400", "b4c5 x 1400", "d4e5 x 1400", "b4b5 400", "d4d5 400"}},
    {"black captures: towards the h-file first", {"c4", "e4"}, {"d5"}, BLACK, "",
     {"d5e4 x 1400", "d5c4 x 1400", "d5d4 400"}},
    {"captures from the start ranks", {"e2", "d6", "f6"}, {"d3", "f3", "e7"}, WHITE, "",
     {"e2d3 x 1000", "f6e7 x 1800", "e2f3 x 1000", "d6e7 x 1800", "d6d7 800", "f6f7 800",
      "e2e3 0", "e2e4 ds 200"}},
    {"black captures from the start rank", {"d6", "f6", "a2"}, {"e7"}, BLACK, "",
     {"e7f6 x 1000", "e7d6 x 1000", "e7e6 0", "e7e5 ds 200"}},
    {"capture scores by rank, White", {"a3", "c4", "e5", "g6"}, {"b4", "d5", "f6", "h7"}, WHITE, "",
     {"a3b4 x 1200", "c4d5 x 1400", "e5f6 x 1600", "g6h7 x 1800",
      "a3a4 200", "c4c5 400", "e5e6 600", "g6g7 800"}},
    // Black's pawn furthest down captures onto the lowest square and comes
    // first.
    {"capture scores by rank, Black", {"b5", "d4", "f3", "h2"}, {"a6", "c5", "e4", "g3"}, BLACK, "",
     {"g3h2 x 1800", "e4f3 x 1600", "c5d4 x 1400", "a6b5 x 1200",
      "g3g2 800", "e4e3 600", "c5c4 400", "a6a5 200"}},
    {"start step blocked two ahead", {"e2"}, {"e4"}, WHITE, "", {"e2e3 0"}},
    {"start step blocked one ahead", {"e2"}, {"e3", "e5"}, WHITE, "", {}},
    {"start step blocked by an own pawn", {"e2", "e3"}, {"a7"}, WHITE, "", {"e3e4 200"}},
    {"singles before doubles, doubles from the singles", {"a2", "b2", "c2"}, {"b4", "c3"}, WHITE, "",
     {"b2c3 x 1000", "a2a3 0", "b2b3 0", "a2a4 ds 200"}},
    {"black start step blocked two ahead", {"d5"}, {"d7"}, BLACK, "", {"d7d6 0"}},
    {"black start step blocked one ahead", {"d6"}, {"d7", "h2"}, BLACK, "", {"h2h1 10000"}},
    {"no pawns, no moves", {}, {"a7"}, WHITE, "", {}},
};

std::unique_ptr<Position> setUp(const GenCase& c) {
    return placed(c.white, c.black, c.side, *c.ep ? sq(c.ep) : NO_SQUARE);
}

TEST(MoveGeneration, OrderCodesAndScores) {
    for (const GenCase& c : CASES) {
        auto pos = setUp(c);
        EXPECT_EQ(describe(generated(*pos)), c.expected) << c.name;
    }
}

TEST(MoveGeneration, LiteralCodesOfKnownMoves) {
    auto start = startPosition();
    const MoveList& list = generated(*start);
    ASSERT_EQ(list.count, 16u);
    EXPECT_EQ(list.moves[0].move, 0x0808);  // a2a3
    EXPECT_EQ(list.moves[8].move, 0x4c08);  // a2a4

    auto promotion = placed({"b7"}, {"h7"});
    EXPECT_EQ(generated(*promotion).moves[0].move, 0x1cb1);

    auto ep = placed({"c5", "e5"}, {"d5"}, WHITE, sq("d6"));
    const MoveList& epList = generated(*ep);
    EXPECT_EQ(epList.moves[0].move, 0xb5a2);
    EXPECT_EQ(epList.moves[1].move, 0xb5a4);
}

TEST(MoveGeneration, EnPassantAttackerTable) {
    EXPECT_EQ(EP_ATTACKERS[WHITE][sq("d6")], (Bitboard{1} << sq("c5")) | (Bitboard{1} << sq("e5")));
    EXPECT_EQ(EP_ATTACKERS[WHITE][sq("a6")], Bitboard{1} << sq("b5"));
    EXPECT_EQ(EP_ATTACKERS[WHITE][sq("h6")], Bitboard{1} << sq("g5"));
    EXPECT_EQ(EP_ATTACKERS[BLACK][sq("h3")], Bitboard{1} << sq("g4"));
    EXPECT_EQ(EP_ATTACKERS[BLACK][sq("a3")], Bitboard{1} << sq("b4"));
    EXPECT_EQ(EP_ATTACKERS[BLACK][sq("e3")], (Bitboard{1} << sq("d4")) | (Bitboard{1} << sq("f4")));
    for (int s = 0; s < 64; ++s) {
        if (s < 40 || s > 47) {
            EXPECT_EQ(EP_ATTACKERS[WHITE][s], 0u) << s;
        }
        if (s < 16 || s > 23) {
            EXPECT_EQ(EP_ATTACKERS[BLACK][s], 0u) << s;
        }
    }
}

TEST(MoveGeneration, TacticalIsThePromotionsEnPassantAndCapturesOfTheFullList) {
    for (const GenCase& c : CASES) {
        auto pos = setUp(c);
        Lines full = describe(generated(*pos));
        Lines tacticalExpected;
        for (const std::string& line : full) {
            bool capture = line.find(" x ") != std::string::npos || line.find(" ep ") != std::string::npos;
            bool promotion = line.find(" 10000") != std::string::npos;
            if (capture || promotion) tacticalExpected.push_back(line);
        }
        generateTactical(*pos);
        EXPECT_EQ(describe(pos->moveLists[pos->ply]), tacticalExpected) << c.name;
    }
    auto start = startPosition();
    generateMoves(*start);
    generateTactical(*start);
    EXPECT_EQ(start->moveLists[0].count, 0u);
}

TEST(MoveGeneration, WritesOnlyTheListOfTheCurrentPly) {
    auto pos = startPosition();
    play(*pos, {"e2e4", "d7d5"});
    MoveList& list = pos->moveLists[2];
    for (ScoredMove& m : list.moves) m = ScoredMove{0x0b0b, 1};
    list.count = 31;
    const MoveList below = pos->moveLists[1];
    const MoveList above = pos->moveLists[3];
    generateMoves(*pos);
    Lines moves = describe(list);
    ASSERT_EQ(moves.size(), 16u);  // e4d5, then steps and start steps
    EXPECT_EQ(moves.front(), "e4d5 x 1400");
    EXPECT_EQ(moves[1], "e4e5 400");
    EXPECT_EQ(std::memcmp(&below, &pos->moveLists[1], sizeof below), 0);
    EXPECT_EQ(std::memcmp(&above, &pos->moveLists[3], sizeof above), 0);
}

}  // namespace
