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
        ctx.limits = SearchLimits{false, 0, false, &clock, 0, 0};
        ctx.rootPly = pos.ply;
        ctx.print = nullptr;
    }
    ~SearchFixture() { releaseTT(ctx.tt); }
    SearchFixture(const SearchFixture&) = delete;
    SearchFixture& operator=(const SearchFixture&) = delete;

    // Depth-limited deepening without a time limit; returns the move.
    ScoredMove deepen(int depth) {
        ScoredMove best{};
        iterate(ctx, pos, depthOnly(depth, clock), best);
        return best;
    }

    // Deepening under a time budget that is already spent: the search ends
    // at its first clock check.
    ScoredMove deepenWithSpentBudget() {
        ScoredMove best{};
        iterate(ctx, pos, SearchLimits{false, 0, true, &clock, 0, 0}, best);
        return best;
    }
};
