// A position set up from text and a search context with a small table of its
// own, for the search tests.
#pragma once

#include <string>

#include "board/fen.h"
#include "search/iterate.h"
#include "search/search.h"
#include "search/transposition.h"

struct SearchFixture {
    Position pos;
    SearchContext ctx;
    Clock clock{false, 0, 0};

    explicit SearchFixture(const std::string& fen = "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1") {
        initSearchContext(ctx);
        initPosition(pos);
        std::string error;
        if (!setPositionFromFen(pos, fen, error)) throw std::runtime_error(error);
        ctx.tt = createTT(1u << 16);
        ctx.clock = &clock;
        ctx.timeLimited = false;
        ctx.rootPly = pos.ply;
        ctx.quiet = true;
    }
    ~SearchFixture() { releaseTT(ctx.tt); }
    SearchFixture(const SearchFixture&) = delete;
    SearchFixture& operator=(const SearchFixture&) = delete;

    // Depth-limited deepening without a time limit; returns the move.
    ScoredMove deepen(int depth) {
        ScoredMove best{};
        iterate(ctx, pos, true, depth, false, clock, 0, 0, best);
        return best;
    }
};
