// The developer tool: move-path counts (perft, divide) and the search
// benchmark (bench).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/fen.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "tools/bench.h"
#ifdef QUILLFEN_SOLVE
#include "tools/solvecommand.h"
#endif

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: quillfen-tool perft FEN DEPTH\n"
                 "       quillfen-tool divide FEN DEPTH\n"
                 "       quillfen-tool bench [DEPTH]\n"
#ifdef QUILLFEN_SOLVE
                 "       quillfen-tool solve [--all] [--hash MIB] [--threads N] FEN [MOVE ...]\n"
#endif
                 "FEN holds pawns only, for example \"8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1\"\n");
    return 2;
}

// A depth in 0..max, or -1.
int parseDepth(const char* text, int max) {
    if (*text == '\0') return -1;
    int value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return -1;
        value = value * 10 + (*c - '0');
        if (value > max) return -1;
    }
    return value;
}

int runPerft(const char* fen, const char* depthText, bool divide) {
    static Position pos;
    initPosition(pos);
    std::string error;
    if (!setPositionFromFen(pos, fen, error)) {
        std::fprintf(stderr, "quillfen-tool: bad FEN \"%s\": %s\n", fen, error.c_str());
        return 2;
    }
    const int depth = parseDepth(depthText, MAX_PLY - 1);
    if (depth < 0) {
        std::fprintf(stderr, "quillfen-tool: bad depth \"%s\": expected 0 to %d\n", depthText,
                     MAX_PLY - 1);
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    std::uint64_t total = 0;
    if (divide) {
        if (depth > 0 && !isGameOver(pos)) {
            generateMoves(pos);
            MoveList list = pos.moveLists[pos.ply];
            for (std::uint32_t i = 0; i < list.count; ++i) {
                makeMove(pos, list.moves[i]);
                std::uint64_t n = perft(pos, depth - 1);
                unmakeMove(pos);
                std::printf("%s %llu\n", moveText(list.moves[i].move).c_str(),
                            static_cast<unsigned long long>(n));
                total += n;
            }
        } else if (depth == 0) {
            total = 1;
        }
        std::printf("total %llu\n", static_cast<unsigned long long>(total));
    } else {
        total = perft(pos, depth);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%llu\n", static_cast<unsigned long long>(total));
        std::printf("time %.3f s\n", seconds);
        std::printf("leaves/s %.0f\n", seconds > 0 ? static_cast<double>(total) / seconds : 0.0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if ((command == "perft" || command == "divide") && argc == 4)
        return runPerft(argv[2], argv[3], command == "divide");
#ifdef QUILLFEN_SOLVE
    if (command == "solve") {
        initBitTables();
        return runSolveCommand(argc - 2, argv + 2);
    }
#endif
    if (command == "bench" && argc <= 3) {
        int depth = BENCH_DEPTH;
        if (argc == 3) {
            depth = parseDepth(argv[2], 64);
            if (depth < 1) {
                std::fprintf(stderr, "quillfen-tool: bad depth \"%s\": expected 1 to 64\n", argv[2]);
                return 2;
            }
        }
        runBench(depth, true);
        return 0;
    }
    return usage();
}
