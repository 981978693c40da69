// "quillfen-tool solve" as a user runs it: the value alone on the first line,
// every legal move with --all, the table saved and loaded, and exit status 2
// with a message for every bad argument.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

int runSolve(const std::vector<std::string>& args, std::string& out, std::string& err) {
    static int serial = 0;
    const std::string base = testing::TempDir() + "solve_tool_" + std::to_string(::getpid()) + "_" +
                             std::to_string(serial++);
    std::string command = std::string("'") + QUILLFEN_TOOL + "' solve";
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

const char* const START = "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1";

TEST(SolveCommand, FirstLineIsTheValueAlone) {
    struct Case {
        std::vector<std::string> args;
        const char* value;
        const char* best;
    } cases[] = {
        {{"8/6p1/8/1P6/8/8/8/8 w - - 0 1"}, "win", "best b5b6"},
        {{"8/6p1/8/1P6/8/8/8/8 b - - 0 1"}, "loss", nullptr},
        {{"8/1p1p4/PP1P4/8/8/8/8/8 w - - 0 1"}, "draw", nullptr},
        {{"8/8/p1p1p1p1/P1P1P1P1/8/8/8/8 w - - 0 1"}, "draw", "best null"},  // no move
        {{"1P6/p7/8/8/8/8/8/8 b - - 0 1"}, "loss", "best null"},            // finished
        // Moves played from the FEN, an en-passant capture among them.
        {{"8/8/8/8/1p6/8/P7/8 w - - 0 1", "a2a4", "b4a3"}, "loss", "best null"},
        {{"8/8/8/8/1p6/8/P1P5/8 w - - 0 1", "a2a4", "b4a3"}, "loss", nullptr},
        {{"--threads", "2", "--hash", "8", START, "a2a4", "c7c5", "f2f4", "d7d6", "g2g4", "d6d5", "e2e3",
          "h7h6", "h2h4", "g7g6", "d2d3", "h6h5", "g4g5", "b7b6", "c2c4", "e7e6"},
         "draw", nullptr},
    };
    for (const Case& c : cases) {
        std::string out, err;
        ASSERT_EQ(runSolve(c.args, out, err), 0) << c.args.back() << "\n" << err;
        const std::vector<std::string> lines = linesOf(out);
        ASSERT_GE(lines.size(), 2u) << out;
        EXPECT_EQ(lines[0], c.value) << c.args.back();
        if (c.best) {
            EXPECT_EQ(lines[1], c.best) << c.args.back();
        }
        bool tableLine = false;
        for (const std::string& l : lines) tableLine |= l.rfind("table ", 0) == 0;
        EXPECT_TRUE(tableLine) << out;
    }
}

TEST(SolveCommand, AllGivesEveryLegalMove) {
    std::string out, err;
    ASSERT_EQ(runSolve({"--all", "8/2p5/8/1P6/8/8/3P4/8 w - - 0 1"}, out, err), 0) << err;
    const std::vector<std::string> lines = linesOf(out);
    ASSERT_GE(lines.size(), 2u);
    std::vector<std::string> moves;
    for (const std::string& l : lines)
        if (l.rfind("move ", 0) == 0) moves.push_back(l);
    // b5b6, d2d3 and d2d4.
    ASSERT_EQ(moves.size(), 3u) << out;
    bool keeps = false;
    for (const std::string& m : moves) {
        const std::string value = m.substr(10);
        EXPECT_TRUE(value == "win" || value == "draw" || value == "loss") << m;
        keeps |= value == lines[0];
    }
    EXPECT_TRUE(keeps) << out;
}

TEST(SolveCommand, SavedTableAnswersTheNextRun) {
    const std::string path = testing::TempDir() + "solve_table_" + std::to_string(::getpid());
    const std::vector<std::string> position = {START, "a2a4", "c7c5", "f2f4", "d7d6", "g2g4", "d6d5",
                                               "e2e3", "h7h6", "h2h4", "g7g6", "d2d3", "h6h5"};
    auto nodesOf = [](const std::string& out) {
        for (const std::string& l : linesOf(out))
            if (l.rfind("nodes ", 0) == 0) return std::stoull(l.substr(6));
        return 0ull;
    };
    std::vector<std::string> first = {"--hash", "4", "--save", path};
    first.insert(first.end(), position.begin(), position.end());
    std::string out1, err1, out2, err2;
    ASSERT_EQ(runSolve(first, out1, err1), 0) << err1;
    std::vector<std::string> second = {"--hash", "4", "--load", path};
    second.insert(second.end(), position.begin(), position.end());
    ASSERT_EQ(runSolve(second, out2, err2), 0) << err2;
    std::remove(path.c_str());
    EXPECT_EQ(linesOf(out1)[0], linesOf(out2)[0]);
    EXPECT_LT(nodesOf(out2) * 10, nodesOf(out1)) << out1 << out2;

    // A table of another size is refused.
    std::string out3, err3;
    std::vector<std::string> third = {"--hash", "4", "--save", path, "8/6p1/8/1P6/8/8/8/8 w - - 0 1"};
    ASSERT_EQ(runSolve(third, out3, err3), 0) << err3;
    EXPECT_EQ(runSolve({"--hash", "8", "--load", path, "8/6p1/8/1P6/8/8/8/8 w - - 0 1"}, out3, err3), 2);
    EXPECT_NE(err3.find("4 MiB"), std::string::npos) << err3;
    std::remove(path.c_str());
}

TEST(SolveCommand, BadArgumentsExitTwoWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"8/pppppppp/8/8/8/8/PPPPPPPP w - - 0 1"},         // seven ranks
        {"8/pppppppp/8/8/8/8/PPPPPPPP/8 x - - 0 1"},       // side
        {"8/ppppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1"},      // nine on a rank
        {START, "e2e5"},                                    // illegal move
        {START, "e2e4", "e7e5", "e4e5"},                    // blocked
        {START, "e2"},                                      // not a move
        {START, "e2e4x"},
        {"1P6/p7/8/8/8/8/8/8 b - - 0 1", "a7a6"},          // after the end
        {"--hash", "0", START},
        {"--hash", "99999999999999999999999", START},      // overflow
        {"--hash", "-5", START},
        {"--hash"},
        {"--threads", "0", START},
        {"--threads", "4294967297", START},
        {"--threads", "two", START},
        {"--without", "everything", START},
        {"--frobnicate", START},
        {"--load", "/nonexistent/table", START},
    };
    for (const auto& args : cases) {
        std::string out, err, text;
        for (const std::string& a : args) text += a + " ";
        EXPECT_EQ(runSolve(args, out, err), 2) << text;
        EXPECT_FALSE(err.empty()) << text;
        EXPECT_EQ(out, "") << text;
    }
}

}  // namespace
