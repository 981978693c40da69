#include "tools/solvecommand.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/gameresult.h"
#include "board/movegen.h"
#include "board/moveinput.h"
#include "tools/solve.h"
#include "tools/solvetable.h"

namespace {

constexpr int DEFAULT_HASH_MIB = 1024;
constexpr int MAX_HASH_MIB = 1 << 20;
constexpr int MAX_THREADS = 256;

int fail(const std::string& message) {
    std::fprintf(stderr, "quillfen-tool solve: %s\n", message.c_str());
    return 2;
}

int usage() {
    std::fprintf(stderr,
                 "usage: quillfen-tool solve [--all] [--hash MIB] [--threads N] [--load FILE]\n"
                 "                           [--save FILE] [--quiet] [--without RULE] FEN [MOVE ...]\n"
                 "RULE is runner, promotion, mirror or etc\n");
    return 2;
}

// A whole number in 1..max, or -1.
int parseCount(const char* text, int max) {
    if (*text == '\0') return -1;
    long long value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return -1;
        value = value * 10 + (*c - '0');
        if (value > max) return -1;
    }
    return value >= 1 ? static_cast<int>(value) : -1;
}

// Plays "e2e4" on `pos` when it is a legal move of a game still going on.
bool playMove(Position& pos, const char* text) {
    if (std::strlen(text) != 4 || pos.ply >= MAX_PLY || gameResult(pos) != GameResult::ONGOING)
        return false;
    const int ff = text[0] - 'a', fr = text[1] - '1', tf = text[2] - 'a', tr = text[3] - '1';
    if (ff < 0 || ff > 7 || fr < 0 || fr > 7 || tf < 0 || tf > 7 || tr < 0 || tr > 7) return false;
    const int from = ff + 8 * fr, to = tf + 8 * tr;
    MoveFlags flags;
    if (!validateMove(pos, from, to, flags)) return false;
    makeMove(pos, packMove(from, to, flags.capture, flags.doubleStep, flags.enPassant, 0));
    return true;
}

void printTable(const SolveTable& table) {
    const double percent =
        table.capacity() ? 100.0 * static_cast<double>(table.used()) / static_cast<double>(table.capacity()) : 0;
    std::printf("table %llu of %llu entries (%.1f%% full, %zu MiB)\n",
                static_cast<unsigned long long>(table.used()),
                static_cast<unsigned long long>(table.capacity()), percent, table.bytes() >> 20);
}

}  // namespace

int runSolveCommand(int argc, char** argv) {
    SolveOptions options;
    int hashMiB = DEFAULT_HASH_MIB;
    bool all = false, quiet = false;
    std::string loadPath, savePath;
    int i = 0;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--all") {
            all = true;
        } else if (option == "--quiet") {
            quiet = true;
        } else if (option == "--hash" && hasValue) {
            hashMiB = parseCount(argv[++i], MAX_HASH_MIB);
            if (hashMiB < 0)
                return fail("bad table size \"" + std::string(argv[i]) + "\": expected 1 to " +
                            std::to_string(MAX_HASH_MIB) + " MiB");
        } else if (option == "--threads" && hasValue) {
            options.threads = parseCount(argv[++i], MAX_THREADS);
            if (options.threads < 0)
                return fail("bad thread count \"" + std::string(argv[i]) + "\": expected 1 to " +
                            std::to_string(MAX_THREADS));
        } else if (option == "--load" && hasValue) {
            loadPath = argv[++i];
        } else if (option == "--save" && hasValue) {
            savePath = argv[++i];
        } else if (option == "--without" && hasValue) {
            const std::string rule = argv[++i];
            if (rule == "runner") options.runner = false;
            else if (rule == "promotion") options.againstPromotion = false;
            else if (rule == "mirror") options.mirror = false;
            else if (rule == "etc") options.enhancedCutoffs = false;
            else return fail("unknown rule \"" + rule + "\": expected runner, promotion, mirror or etc");
        } else {
            std::fprintf(stderr, "quillfen-tool solve: bad option \"%s\"\n", option.c_str());
            return usage();
        }
    }
    if (i >= argc) return usage();

    static Position pos;
    initPosition(pos);
    std::string error;
    if (!setPositionFromFen(pos, argv[i], error))
        return fail("bad FEN \"" + std::string(argv[i]) + "\": " + error);
    for (++i; i < argc; ++i)
        if (!playMove(pos, argv[i])) return fail("illegal move \"" + std::string(argv[i]) + "\"");

    SolveTable table;
    if (!table.create(static_cast<std::size_t>(hashMiB), options.threads > 1))
        return fail("cannot allocate a table of " + std::to_string(hashMiB) + " MiB");
    if (!loadPath.empty() && !table.load(loadPath, error)) return fail(error);

    Solver solver(table, options);
    auto report = [&](const SolveProgress& p) {
        if (quiet) return;
        const double percent = 100.0 * static_cast<double>(table.used()) / static_cast<double>(table.capacity());
        std::fprintf(stderr,
                     "solve: %.0f s, %llu nodes (%.2f M/s), table %.1f%% full, value %s..%s, %s, "
                     "root move %d of %d\n",
                     p.seconds, static_cast<unsigned long long>(p.nodes),
                     p.seconds > 0 ? static_cast<double>(p.nodes) / p.seconds / 1e6 : 0.0, percent,
                     valueName(p.lowerBound), valueName(p.upperBound), p.phase, p.rootMove,
                     p.rootMoves);
    };
    const SolveResult result = solver.solve(pos, report);
    std::printf("%s\n", valueName(result.value));
    std::printf("best %s\n", moveText(result.best).c_str());
    // The distance is printed only where it is exact: the shortest win, or
    // the longest loss, in plies, when the rules settle the game within two
    // plies. The search itself proves values, not distances.
    if (isGameOver(pos)) std::printf("distance 0 plies\n");
    else if (gameResult(pos) == GameResult::DRAW) std::printf("distance 0 plies\n");
    else if (promotesNext(pos)) std::printf("distance 1 ply\n");
    else if (losesToPromotion(pos)) std::printf("distance 2 plies\n");
    else std::printf("distance unknown\n");
    std::fflush(stdout);
    std::uint64_t nodes = result.nodes;
    double seconds = result.seconds;
    if (all && gameResult(pos) == GameResult::ONGOING) {
        generateMoves(pos);
        const MoveList list = pos.moveLists[pos.ply];
        for (std::uint32_t m = 0; m < list.count; ++m) {
            makeMove(pos, list.moves[m]);
            const SolveResult child = solver.solve(pos, report);
            unmakeMove(pos);
            nodes += child.nodes;
            seconds += child.seconds;
            std::printf("move %s %s\n", moveText(list.moves[m].move).c_str(), valueName(-child.value));
            std::fflush(stdout);
        }
    }
    std::printf("nodes %llu\n", static_cast<unsigned long long>(nodes));
    std::printf("time %.3f s\n", seconds);
    printTable(table);
    std::fflush(stdout);
    if (!savePath.empty() && !table.save(savePath, error)) return fail(error);
    return 0;
}
