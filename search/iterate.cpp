#include "search/iterate.h"

#include <cstdio>

#include "board/movegen.h"
#include "search/evaluate.h"
#include "search/search.h"
#include "search/transposition.h"

namespace {

// Room for the four numbers and a line of PV_MAX moves.
constexpr int THINKING_LINE_SIZE = 64 + 5 * (PV_MAX + 1);

void printThinking(const SearchContext& ctx, int depth, int score, const PvLine& line) {
    if (ctx.print == nullptr) return;
    char text[THINKING_LINE_SIZE];
    int length = std::snprintf(text, sizeof text, "%d %d %d %lld", depth, score,
                               searchElapsed(ctx.limits),
                               static_cast<long long>(ctx.nodes));
    char move[5];
    for (std::uint32_t i = 0; i < line.count && length + 6 < THINKING_LINE_SIZE; ++i) {
        moveText(line.moves[i].move, move);
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                " %s", move);
    }
    ctx.print(text);
}

// Gives the root move that the root ordering puts first its ordering score:
// the previous best move 30000, else the table's move 20000, whichever the
// generator listed first.
void orderRoot(MoveList& list, ScoredMove previousBest, ScoredMove hashMove) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        if (sameMove(list.moves[i].move, previousBest.move)) {
            list.moves[i].score = 30000;
            return;
        }
        if (sameMove(list.moves[i].move, hashMove.move)) {
            list.moves[i].score = 20000;
            return;
        }
    }
}


}  // namespace

bool ensureTable(SearchContext& ctx) {
    if (ctx.tt != nullptr) return true;
    ctx.tt = createTT();
    if (ctx.tt != nullptr && ctx.tt->size != TT_SIZE && ctx.print != nullptr) {
        char text[80];
        std::snprintf(text, sizeof text, "# not enough memory for the full hash table: using %u entries",
                      ctx.tt->size);
        ctx.print(text);
    }
    return ctx.tt != nullptr;
}

void prepareTable(SearchContext& ctx) {
    if (ensureTable(ctx)) touchTT(*ctx.tt);
}

void extendPv(SearchContext& ctx, Position& pos, PvLine& line) {
    const int rootPly = pos.ply;
    for (int i = 0; i <= PV_MAX && !isNoMove(line.moves[i].move) && pos.ply < MAX_PLY; ++i)
        makeMove(pos, line.moves[i]);
    // The walk ends at the last ply of the stacks, where no move may be made.
    while (pos.ply < MAX_PLY) {
        ScoredMove m = lookupMoveTT(*ctx.tt, pos.hashKeys[pos.ply]);
        if (isNoMove(m.move)) break;
        if (line.count < PV_MAX) {
            line.moves[line.count] = m;
            ++line.count;
            line.moves[line.count].move = static_cast<Move>(
                (line.moves[line.count].move & ~0x7fu) | NO_SQUARE);
        }
        makeMove(pos, m);
    }
    while (pos.ply > rootPly) unmakeMove(pos);
}

int searchRoot(SearchContext& ctx, Position& pos, int depth, int alpha, int beta,
               ScoredMove previousBest, PvLine& line) {
    ++ctx.nodes;
    ScoredMove hashMove = lookupMoveTT(*ctx.tt, pos.hashKeys[pos.ply]);
    generateMoves(pos);
    MoveList& list = pos.moveLists[pos.ply];
    orderRoot(list, previousBest, hashMove);
    int best = -MATE;
    PvLine child;
    for (std::uint32_t i = 0;; ++i) {
        ScoredMove* picked = pickBest(list, i);
        if (picked == nullptr) break;
        const ScoredMove m = *picked;
        makeMove(pos, m);
        if (depth > 1) prefetchTT(*ctx.tt, pos.hashKeys[pos.ply]);
        clearPv(child);
        const int a = alpha > best ? alpha : best;
        int score = depth > 1 ? -search(ctx, pos, depth - 1, -beta, -a, child)
                              : -quiesce(ctx, pos, -beta, -a);
        unmakeMove(pos);
        if (ctx.abort) break;
        if (score > best) {
            best = score;
            if (score >= beta) break;
            if (score > alpha) {
                updatePv(line, m, child);
                extendPv(ctx, pos, line);
                printThinking(ctx, depth, score, line);
            }
        }
    }
    // -30000 is what best holds until a root move comes back; after an
    // abort that cut off the first move it is no score, and a closing line
    // would announce a loss at the root.
    if (alpha < best && best < beta && best != -MATE) {
        extendPv(ctx, pos, line);
        printThinking(ctx, depth, best, line);
    }
    return best;
}

void iterate(SearchContext& ctx, Position& pos, const SearchLimits& limits, ScoredMove& bestMove) {
    ctx.limits = limits;
    ctx.abort = false;
    ctx.nodes = 0;
    ctx.ttHits = 0;
    ctx.rootPly = pos.ply;
    for (auto& slots : ctx.killers) slots[0].move = slots[1].move = NO_MOVE;
    bestMove = ScoredMove{};

    // A game position at the last ply of the stacks is not searched; no
    // legal game comes near it.
    if (ensureTable(ctx) && pos.ply < MAX_PLY) {
        const int us = pos.side;
        // The score of the last adopted iteration, the centre of the next
        // one's aspiration window.
        int expected = evaluate(pos, us, us ^ 1, -MATE_BOUND, MATE_BOUND);
        PvLine line;
        // The full window of a re-search narrows by one each iteration: no
        // win found at `depth` can be quicker than MATE - depth.
        int fullWindow = MATE;
        for (int depth = 1;; ++depth, --fullWindow) {
            if (limits.depthLimited && depth > limits.maxDepth) break;
            clearPv(line);
            int score = searchRoot(ctx, pos, depth, expected - ASPIRATION_MARGIN,
                                   expected + ASPIRATION_MARGIN, bestMove, line);
            if (ctx.abort) break;
            if (score >= expected + ASPIRATION_MARGIN || score <= expected - ASPIRATION_MARGIN)
                score = searchRoot(ctx, pos, depth, -fullWindow, fullWindow, bestMove, line);
            if (line.count > 0 && !sameMove(line.moves[0].move, NO_MOVE)) {
                expected = score;
                bestMove = line.moves[0];
            }
            // A win as quick as this depth allows cannot be bettered.
            if (expected >= fullWindow - 1) break;
            if (depth >= 8 && pos.moveLists[pos.ply].count == 1) break;
            if (ctx.rootPly + depth >= MAX_PLY) break;
        }

        // No iteration was adopted (the clock cut the first one short): play
        // the move the root ordering tries first rather than no move, as long
        // as there is one.
        if (isNoMove(bestMove.move)) {
            ScoredMove hashMove = lookupMoveTT(*ctx.tt, pos.hashKeys[pos.ply]);
            generateMoves(pos);
            MoveList& list = pos.moveLists[pos.ply];
            orderRoot(list, bestMove, hashMove);
            if (ScoredMove* first = pickBest(list, 0)) bestMove = *first;
        }
    }

    const std::int32_t elapsed = searchElapsed(limits);
    // Nodes per centisecond, cut to 32 bits, times 100; a zero time gives 0.
    const std::uint32_t perCentisecond =
        elapsed <= 0 ? 0 : static_cast<std::uint32_t>(ctx.nodes / static_cast<std::uint64_t>(elapsed));
    const int nps = static_cast<int>(perCentisecond * 100u);
    const double ttUsed = ctx.tt == nullptr || ctx.tt->size == 0
                              ? 0.0
                              : static_cast<double>(ctx.tt->used) / ctx.tt->size * 100.0;
    if (ctx.print == nullptr) return;
    char text[160];
    std::snprintf(text, sizeof text, "# elapsed=%d nodes=%lld nps=%d ttHits=%lld ttUsed=%4.1f%%",
                  elapsed, static_cast<long long>(ctx.nodes), nps,
                  static_cast<long long>(ctx.ttHits), ttUsed);
    ctx.print(text);
}
