// Typed moves: the text form, the rule check and the refusal of everything
// else without touching the game.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "board_support.h"
#include "board/moveinput.h"

using namespace boardtest;

namespace {

// The raw bytes of a position, so that "unchanged" means every byte.
struct Image {
    std::unique_ptr<unsigned char[]> bytes{new unsigned char[sizeof(Position)]};
    explicit Image(const Position& pos) { std::memcpy(bytes.get(), &pos, sizeof pos); }
    bool same(const Position& pos) const { return std::memcmp(bytes.get(), &pos, sizeof pos) == 0; }
};

// Feeds one line; on a refusal checks that nothing changed and that the
// error line echoes the input.
bool feed(Position& pos, std::string_view line) {
    const Image before(pos);
    bool changed = false;
    testing::internal::CaptureStdout();
    const bool played = parseMove(pos, changed, line);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(changed, played);
    if (played) {
        EXPECT_EQ(out, "");
    } else {
        EXPECT_TRUE(before.same(pos)) << "refused line changed the position";
        if (line.find('\0') == std::string_view::npos)
            EXPECT_EQ(out, "Error (illegal move): " + std::string(line) + "\n");
        else
            EXPECT_EQ(out.rfind("Error (illegal move): ", 0), 0u);
    }
    return played;
}

TEST(MoveInput, AcceptedLinesPlayTheirMove) {
    struct Case {
        const char* line;
        Move code;
    } cases[] = {
        {"e2e4", 0x4e0c},           {"E2E4", 0x4e0c},        {"e2E4", 0x4e0c},
        {"e2e4 now", 0x4e0c},       {"e2e4q", 0x4e0c},       {"e2e4\xff\x01", 0x4e0c},
        {"a2a3", 0x0808},           {"H2h4", 0x4f8f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto pos = startPosition();
        ASSERT_TRUE(feed(*pos, c.line));
        EXPECT_EQ(pos->history[0].move, c.code);
        EXPECT_EQ(pos->history[0].score, 0);
        EXPECT_EQ(pos->ply, 1);
        EXPECT_EQ(pos->side, BLACK);
        EXPECT_EQ(pos->hashKeys[1], computeHash(pos->pawns, 1, pos->epSquares[1]));
    }
    auto pos = startPosition();
    ASSERT_TRUE(feed(*pos, "e2e4"));
    EXPECT_EQ(squareOwner(*pos, sq("e4")), WHITE);
    EXPECT_TRUE(isEmpty(*pos, sq("e2")));
}

TEST(MoveInput, RefusedLinesFromTheStart) {
    const char* lines[] = {
        "e2e5", "e2d3", "e7e5", "e1e2", "i2i4", "e2e", "e2", "e", "", "e8e7", "a2a5",
        "e2f3", "e2e2", "e3e4", "e4e5", "e2-e4", " e2e4", "e2 e4", "E9E4", "e0e1", "e2e0",
        "e2e9", "h2i3", "`2a3", "a2`3", "I2I4", "e2e5 now", "\xc5" "2e4", "e\xb2" "e4",
        "2e4e", "h2g3", "a7a6", "a2b3", "d2c3",
    };
    for (const char* line : lines) {
        auto pos = startPosition();
        EXPECT_FALSE(feed(*pos, line)) << line;
    }
}

TEST(MoveInput, EveryByteInEveryPlace) {
    // Only the byte values that make a legal move of the four characters are
    // accepted; whatever follows them is ignored.
    auto pos = startPosition();
    const std::string base = "e2e4";
    const std::string accepted[4] = {"eE", "2", "eE", "34"};
    for (int place = 0; place < 5; ++place) {
        for (int byte = 0; byte < 256; ++byte) {
            std::string line = base;
            if (place < 4) line[place] = static_cast<char>(byte);
            else line += static_cast<char>(byte);
            const bool expected =
                place == 4 || accepted[place].find(static_cast<char>(byte)) != std::string::npos;
            ASSERT_EQ(feed(*pos, line), expected) << "place " << place << " byte " << byte;
            if (expected) unmakeMove(*pos);
        }
    }
}

TEST(MoveInput, ShortLinesAreNotReadPastTheirEnd) {
    // Each line lives in a buffer of exactly its own length, so a read past
    // its end is a sanitizer error; the view of "e2e4" cut short must not
    // see the rest either.
    const char* full = "e2e4";
    for (std::size_t n = 0; n < 4; ++n) {
        auto pos = startPosition();
        std::unique_ptr<char[]> exact(new char[n == 0 ? 1 : n]);
        std::memcpy(exact.get(), full, n);
        EXPECT_FALSE(feed(*pos, std::string_view(exact.get(), n))) << n;
        EXPECT_FALSE(feed(*pos, std::string_view(full, n))) << n;
    }
}

TEST(MoveInput, MutatedMovesNeverChangeARefusingPosition) {
    auto pos = startPosition();
    play(*pos, {"e2e4", "d7d5", "e4e5", "f7f5"});  // en passant e5f6 available
    const MoveList moves = generated(*pos);
    std::mt19937 rng(99);
    const char alphabet[] = "abcdefghiABCDEFGHI0123456789 \t-`\x80\xff";
    int accepted = 0, refused = 0;
    for (int i = 0; i < 4000; ++i) {
        // A legal move's text with up to two characters replaced, cut short
        // or followed by more bytes.
        std::string line = moveText(moves.moves[rng() % moves.count].move);
        for (int k = rng() % 3; k > 0; --k) {
            char c = rng() % 2 ? alphabet[rng() % (sizeof alphabet - 1)] : static_cast<char>(rng());
            line[rng() % 4] = c;
        }
        if (rng() % 4 == 0) line.resize(rng() % 4);
        else if (rng() % 2) line += std::string(rng() % 5, static_cast<char>(rng()));
        if (feed(*pos, line)) {
            ++accepted;
            EXPECT_EQ(pos->ply, 5);
            unmakeMove(*pos);
        } else {
            ++refused;
        }
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 1000);
}

TEST(MoveInput, RuleCheck) {
    struct Case {
        const char* name;
        Squares white, black;
        int side;
        const char* ep;
        const char* move;
        bool legal;
        const char* flags;  // "x", "ep", "ds" or ""
    } cases[] = {
        {"double step", {"e2"}, {"a7"}, WHITE, "", "e2e4", true, "ds"},
        {"double step over a black pawn", {"e2"}, {"e3"}, WHITE, "", "e2e4", false, ""},
        {"double step over a white pawn", {"e2", "e3"}, {"a7"}, WHITE, "", "e2e4", false, ""},
        {"double step onto a black pawn", {"e2"}, {"e4"}, WHITE, "", "e2e4", false, ""},
        {"double step onto a white pawn", {"e2", "e4"}, {"a7"}, WHITE, "", "e2e4", false, ""},
        {"double step off the start rank", {"e3"}, {"a7"}, WHITE, "", "e3e5", false, ""},
        {"black double step", {"a2"}, {"d7"}, BLACK, "", "d7d5", true, "ds"},
        {"black double step over a pawn", {"d6"}, {"d7"}, BLACK, "", "d7d5", false, ""},
        {"black double step off the start rank", {"a2"}, {"d6"}, BLACK, "", "d6d4", false, ""},
        {"single step onto a black pawn", {"e4"}, {"e5"}, WHITE, "", "e4e5", false, ""},
        {"single step onto a white pawn", {"e4", "e5"}, {"a7"}, WHITE, "", "e4e5", false, ""},
        {"backwards", {"e4"}, {"a7"}, WHITE, "", "e4e3", false, ""},
        {"black backwards", {"a2"}, {"e5"}, BLACK, "", "e5e6", false, ""},
        {"sideways", {"e4"}, {"d4"}, WHITE, "", "e4d4", false, ""},
        {"the other side's pawn", {"e2"}, {"d7"}, WHITE, "", "d7d6", false, ""},
        {"capture", {"d4"}, {"e5"}, WHITE, "", "d4e5", true, "x"},
        {"capture onto an own pawn", {"d4", "e5"}, {"a7"}, WHITE, "", "d4e5", false, ""},
        {"diagonal onto an empty square", {"d4"}, {"a7"}, WHITE, "", "d4e5", false, ""},
        {"a4 takes only towards b5", {"a4"}, {"b5"}, WHITE, "", "a4b5", true, "x"},
        {"a4 does not take h4 (+7)", {"a4"}, {"h4"}, WHITE, "", "a4h4", false, ""},
        {"h4 does not take a6 (+9)", {"h4"}, {"a6"}, WHITE, "", "h4a6", false, ""},
        {"black h6 does not take a6 (-7)", {"a6"}, {"h6"}, BLACK, "", "h6a6", false, ""},
        {"black a6 does not take h4 (-9)", {"h4"}, {"a6"}, BLACK, "", "a6h4", false, ""},
        {"black capture", {"c4"}, {"d5"}, BLACK, "", "d5c4", true, "x"},
        {"en passant", {"e5"}, {"d5"}, WHITE, "d6", "e5d6", true, "ep"},
        {"en passant from the other side", {"c5"}, {"d5"}, WHITE, "d6", "c5d6", true, "ep"},
        {"black en passant onto a3", {"a4"}, {"b4"}, BLACK, "a3", "b4a3", true, "ep"},
        {"no en-passant square", {"e5"}, {"d5"}, WHITE, "", "e5d6", false, ""},
        {"promotion step", {"b7"}, {"a7"}, WHITE, "", "b7b8", true, ""},
        {"black promotion step", {"a2"}, {"g2"}, BLACK, "", "g2g1", true, ""},
        {"promotion capture", {"b7"}, {"a7"}, WHITE, "", "b7a8", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto pos = placed(c.white, c.black, c.side, *c.ep ? sq(c.ep) : NO_SQUARE);
        MoveFlags flags{true, true, true};
        const bool legal = validateMove(*pos, sq(c.move), sq(c.move + 2), flags);
        EXPECT_EQ(legal, c.legal);
        const std::string f = c.flags;
        EXPECT_EQ(flags.capture, f == "x" || f == "ep");
        EXPECT_EQ(flags.enPassant, f == "ep");
        EXPECT_EQ(flags.doubleStep, f == "ds");
        // The same through the text form.
        EXPECT_EQ(feed(*pos, c.move), c.legal);
    }
}

TEST(MoveInput, EnPassantByTextThenGoneOneMoveLater) {
    auto pos = placed({"e5", "a2"}, {"d7", "h7"}, BLACK);
    ASSERT_TRUE(feed(*pos, "d7d5"));
    const Snapshot beforeCapture(*pos);
    ASSERT_TRUE(feed(*pos, "e5d6"));
    EXPECT_EQ(pos->history[1].move, 0xb5a4);
    EXPECT_EQ(pos->pawnCount[BLACK], 1);
    EXPECT_TRUE(isEmpty(*pos, sq("d5")));
    unmakeMove(*pos);
    EXPECT_EQ(Snapshot(*pos), beforeCapture);

    ASSERT_TRUE(feed(*pos, "a2a3"));
    ASSERT_TRUE(feed(*pos, "h7h6"));
    EXPECT_FALSE(feed(*pos, "e5d6"));
}

TEST(MoveInput, SquareOwnerAndEmptiness) {
    auto pos = placed({"a1", "e4"}, {"h8", "e5"});
    EXPECT_EQ(squareOwner(*pos, sq("a1")), WHITE);
    EXPECT_EQ(squareOwner(*pos, sq("e4")), WHITE);
    EXPECT_EQ(squareOwner(*pos, sq("h8")), BLACK);
    EXPECT_EQ(squareOwner(*pos, sq("e5")), BLACK);
    EXPECT_EQ(squareOwner(*pos, sq("d4")), 2);
    EXPECT_FALSE(isEmpty(*pos, sq("e4")));
    EXPECT_FALSE(isEmpty(*pos, sq("h8")));
    EXPECT_TRUE(isEmpty(*pos, sq("h1")));
}

TEST(MoveInput, NoMoveBeyondTheLastPlyOfTheStacks) {
    // No legal game gets near the end of the stacks; a position placed there
    // takes moves up to the last ply and none beyond.
    auto pos = startPosition();
    pos->ply = MAX_PLY - 1;
    pos->side = BLACK;
    pos->epSquares[pos->ply] = NO_SQUARE;
    pos->hashKeys[pos->ply] = computeHash(pos->pawns, 1, NO_SQUARE);
    ASSERT_TRUE(feed(*pos, "e7e5"));
    EXPECT_EQ(pos->ply, MAX_PLY);
    EXPECT_EQ(pos->hashKeys[MAX_PLY], computeHash(pos->pawns, 0, NO_SQUARE));
    EXPECT_FALSE(feed(*pos, "e2e4"));
    EXPECT_EQ(pos->ply, MAX_PLY);
}

}  // namespace
