// Move-path counts, and the developer tool that prints them. The counts of
// the positions below were checked against an independent variant engine.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "board_support.h"
#include "board/fen.h"
#include "board/perft.h"

using namespace boardtest;

namespace {

const char* const START_FEN = "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1";

std::unique_ptr<Position> fromFen(const char* fen) {
    auto pos = startPosition();
    std::string error;
    EXPECT_TRUE(setPositionFromFen(*pos, fen, error)) << fen << ": " << error;
    return pos;
}

struct PerftCase {
    const char* name;
    const char* fen;
    std::vector<std::uint64_t> counts;  // depth 1, 2, ...
};

const PerftCase CASES[] = {
    {"start position", START_FEN, {16, 256, 3846, 57744, 815968, 11515584}},
    {"white en passant d5xc6", "8/pp1ppppp/8/2pP4/8/8/PPP1PPPP/8 w - c6 0 1",
     {16, 226, 3216, 42460, 564013}},
    {"white en passant from both sides onto d6", "8/pp2pppp/8/2PpP3/8/8/PP1P1PPP/8 w - d6 0 1",
     {16, 193, 2604, 29138, 367409}},
    {"white en passant on the h-file", "8/ppppppp1/8/6Pp/8/8/PPPPPP1P/8 w - h6 0 1",
     {16, 224, 3164, 41274, 542476}},
    {"black en passant on the a-file", "8/p1pppppp/8/8/Pp6/8/1PPPPPPP/8 b - a3 0 1",
     {16, 224, 3164, 41274, 542476}},
    {"black en passant from both sides onto g3", "8/2pppp1p/8/8/1P3pPp/8/P1PPPP1P/8 b - g3 0 1",
     {14, 174, 2004, 23487, 250075}},
    {"games ending inside the tree", "8/2p1P3/1p6/P7/8/p7/1P3p2/8 w - - 0 1",
     {6, 29, 91, 271, 565, 1253}},
    {"two runners", "8/3p4/8/8/8/8/P7/8 w - - 0 1", {2, 4, 4, 4, 4, 4, 4, 4, 4, 2}},
    {"white has promoted, Black to move", "1P6/p7/8/8/8/8/8/8 b - - 0 1", {0, 0, 0}},
    {"black has promoted, White to move", "8/8/8/8/8/8/7p/p6p w - - 0 1", {0, 0}},
    {"White to move without pawns", "8/pppppppp/8/8/8/8/8/8 w - - 0 1", {0, 0}},
    // Here the independent engine calls the game over and counts 0; in our
    // rules a side left without pawns loses only when it is to move.
    {"Black without pawns, White to move", "8/8/8/8/8/8/PPPPPPPP/8 w - - 0 1", {16, 0, 0}},
};

TEST(Perft, CountsOfKnownPositions) {
    for (const PerftCase& c : CASES) {
        auto pos = fromFen(c.fen);
        for (std::size_t d = 0; d < c.counts.size(); ++d) {
            const Snapshot before(*pos);
            EXPECT_EQ(perft(*pos, static_cast<int>(d + 1)), c.counts[d]) << c.name << " depth " << d + 1;
            ASSERT_EQ(Snapshot(*pos), before) << c.name;
        }
        EXPECT_EQ(perft(*pos, 0), 1u) << c.name;
    }
}

TEST(Perft, GameOverTest) {
    struct Case {
        const char* fen;
        bool over;
    } cases[] = {
        {START_FEN, false},
        {"1P6/p7/8/8/8/8/8/8 b - - 0 1", true},
        {"8/p7/8/8/8/8/1P6/1p6 w - - 0 1", true},
        {"8/pppppppp/8/8/8/8/8/8 w - - 0 1", true},
        {"8/8/8/8/8/8/PPPPPPPP/8 w - - 0 1", false},
    };
    for (const Case& c : cases) {
        auto pos = fromFen(c.fen);
        EXPECT_EQ(isGameOver(*pos), c.over) << c.fen;
    }
}

// Runs the tool with the given arguments; returns its exit status and
// fills its two output streams.
int runTool(const std::vector<std::string>& args, std::string& out, std::string& err) {
    static int serial = 0;
    const std::string base = testing::TempDir() + "board_tool_" + std::to_string(::getpid()) + "_" +
                             std::to_string(serial++);
    std::string command = std::string("'") + QUILLFEN_TOOL + "'";
    for (const std::string& a : args) {
        command += " '";
        for (char c : a) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    command += " >" + base + ".out 2>" + base + ".err";
    const int status = std::system(command.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::remove(path.c_str());
        return text.str();
    };
    out = slurp(base + ".out");
    err = slurp(base + ".err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(PerftTool, FirstLineIsTheCountAlone) {
    struct Case {
        const char* fen;
        const char* depth;
        const char* count;
    } cases[] = {
        {START_FEN, "5", "815968"},
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w", "3", "3846"},  // counters omitted
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - -", "3", "3846"},
        {"8/pp2pppp/8/2PpP3/8/8/PP1P1PPP/8 w - d6 0 1", "3", "2604"},
        {"1P6/p7/8/8/8/8/8/8 b - - 0 1", "4", "0"},
        {START_FEN, "0", "1"},
    };
    for (const Case& c : cases) {
        std::string out, err;
        ASSERT_EQ(runTool({"perft", c.fen, c.depth}, out, err), 0) << c.fen << "\n" << err;
        const std::vector<std::string> lines = linesOf(out);
        ASSERT_GE(lines.size(), 1u);
        EXPECT_EQ(lines[0], c.count) << c.fen;
        EXPECT_EQ(err, "");
    }
}

TEST(PerftTool, DivideListsEveryRootMoveAndTheTotal) {
    std::string out, err;
    ASSERT_EQ(runTool({"divide", START_FEN, "3"}, out, err), 0) << err;
    std::vector<std::string> lines = linesOf(out);
    ASSERT_EQ(lines.size(), 17u) << out;
    EXPECT_EQ(lines.back(), "total 3846");
    std::uint64_t sum = 0;
    std::vector<std::string> moves;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        std::string move;
        std::uint64_t n = 0;
        ASSERT_TRUE(in >> move >> n) << lines[i];
        moves.push_back(move);
        sum += n;
    }
    EXPECT_EQ(sum, 3846u);
    EXPECT_EQ(moves.front(), "a2a3");
    EXPECT_EQ(moves.back(), "h2h4");
    // After a2a3 the tree is that of an ordinary position two plies deep.
    EXPECT_EQ(lines[0], "a2a3 240");

    ASSERT_EQ(runTool({"divide", "1P6/p7/8/8/8/8/8/8 b - - 0 1", "2"}, out, err), 0) << err;
    EXPECT_EQ(out, "total 0\n");
}

TEST(PerftTool, RefusesBadFenAndDepthWithStatusTwo) {
    const char* fens[] = {
        // malformed
        "", "8/8/8 w", "8/pppppppp/8/8/8/8/PPPPPPPP/8", "8/pppppppp/8/8/8/8/PPPPPPPP/8 x",
        "9/pppppppp/8/8/8/8/PPPPPPPP/8 w", "8/pppppppp/8/8/8/8/PPPPPPPP/7 w",
        "8/ppppppppp/8/8/8/8/PPPPPPPP/8 w", "8/pppppppp/8/8/8/8/PPPPPPPP/8/8 w",
        "8/pppppppp/8/8/8/8/PPPPPPPP w",
        "8/pppppppp/8/8/8/8/PPPPPPPP/8 w KQkq - 0 1", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e9 0 1",
        "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e3 0 1", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - e6 0 1",
        "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - x 1", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1 2",
        // pieces other than pawns
        "8/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1",
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        "8/pppppppp/8/8/3Q4/8/PPPPPPPP/8 w - - 0 1", "8/pppppppp/8/8/3q4/8/PPPPPPPP/8 w - - 0 1",
        // pawns on their own first rank
        "8/pppppppp/8/8/8/8/PPPPPPP1/P7 w - - 0 1", "p7/1ppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1",
        // the side to move has already won
        "1P6/p7/8/8/8/8/8/8 w - - 0 1", "8/p7/8/8/8/8/P7/1p6 b - - 0 1",
        // more than eight pawns of a side
        "8/pppppppp/8/8/P7/8/PPPPPPPP/8 w - - 0 1", "8/pppppppp/8/p7/8/8/PPPPPPPP/8 w - - 0 1",
    };
    for (const char* fen : fens) {
        std::string out, err;
        EXPECT_EQ(runTool({"perft", fen, "2"}, out, err), 2) << "'" << fen << "'";
        EXPECT_EQ(out, "") << fen;
        EXPECT_NE(err, "") << fen;
        EXPECT_EQ(runTool({"divide", fen, "2"}, out, err), 2) << "'" << fen << "'";
    }
    for (const char* depth : {"x", "-1", "", "2x"}) {
        std::string out, err;
        EXPECT_EQ(runTool({"perft", START_FEN, depth}, out, err), 2) << depth;
        EXPECT_NE(err, "") << depth;
    }
}

// Deep counts; slow under the sanitizers, so they run with the slow tests.
TEST(SlowPerft, StartPositionDepthsSevenAndEight) {
    auto pos = fromFen(START_FEN);
    EXPECT_EQ(perft(*pos, 7), 153456226u);
    EXPECT_EQ(perft(*pos, 8), 2039980640u);
}

}  // namespace
