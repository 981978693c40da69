#include "tools/bench.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "board/fen.h"
#include "board/moves.h"
#include "search/iterate.h"
#include "search/transposition.h"

namespace {

struct BenchPosition {
    const char* name;
    const char* fen;
};

constexpr BenchPosition POSITIONS[] = {
    {"start", "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1"},
    {"opening", "8/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/8 w - - 0 2"},
    {"middle game", "8/p1p2pp1/1p1p3p/3Pp3/2P1P3/1P4PP/P4P2/8 w - - 0 1"},
    {"black to move", "8/ppp3pp/3p4/3Pp3/4Pp2/8/PPP3PP/8 b - - 0 1"},
    {"en passant", "8/pp1ppppp/8/8/2pP4/8/PPP1PPPP/8 b - d3 0 1"},
    {"pawn race", "8/6p1/8/8/8/8/1P6/8 w - - 0 1"},
    {"endgame", "8/5p2/3p4/2pP4/2P5/8/5P2/8 w - - 0 1"},
    {"one legal move", "8/8/8/p3p3/P6p/4P2P/8/8 w - - 0 1"},
    {"forced win", "8/7p/8/1P6/8/8/8/8 w - - 0 1"},
    {"no legal move", "8/8/p1p1p1p1/P1P1P1P1/8/8/8/8 w - - 0 1"},
};

}  // namespace

BenchResult runBench(int depth, bool print) {
    // The position's stacks and the context's line buffers are large.
    static Position pos;
    static SearchContext ctx;
    initBitTables();
    initPosition(pos);
    initSearchContext(ctx);
    ctx.print = nullptr;
    const Clock clock{false, 0, 0};
    BenchResult total{0, 0.0};
    for (const BenchPosition& p : POSITIONS) {
        std::string error;
        if (!setPositionFromFen(pos, p.fen, error)) {
            std::fprintf(stderr, "bench position %s: %s\n", p.name, error.c_str());
            continue;
        }
        releaseTT(ctx.tt);
        ctx.tt = nullptr;
        ScoredMove best{};
        auto start = std::chrono::steady_clock::now();
        iterate(ctx, pos, depthOnly(depth, clock), best);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total.nodes += ctx.nodes;
        total.seconds += seconds;
        if (print) {
            std::printf("%-16s %-12s nodes %12llu  time %8.3f s  nps %10.0f\n", p.name,
                        moveText(best.move).c_str(),
                        static_cast<unsigned long long>(ctx.nodes), seconds,
                        seconds > 0 ? static_cast<double>(ctx.nodes) / seconds : 0.0);
        }
    }
    releaseTT(ctx.tt);
    ctx.tt = nullptr;
    if (print) {
        double nps = total.seconds > 0 ? static_cast<double>(total.nodes) / total.seconds : 0.0;
        std::printf("total nodes %llu  time %.3f s\n",
                    static_cast<unsigned long long>(total.nodes), total.seconds);
        std::printf("bench: %llu nodes %.0f nps\n",
                    static_cast<unsigned long long>(total.nodes), nps);
    }
    return total;
}
