#include "search/search.h"

#include <cstdio>

#include "board/movegen.h"
#include "search/evaluate.h"
#include "search/transposition.h"

void initSearchContext(SearchContext& context) {
    initEvalMasks();
    for (auto& slots : context.killers) slots[0] = slots[1] = ScoredMove{};
    context.tt = nullptr;
    context.nodes = 0;
    context.ttHits = 0;
    context.rootPly = 0;
    context.limits = SearchLimits{false, 0, true, nullptr, 0, 0};
    context.abort = false;
    context.print = printToStdout;
}

SearchLimits depthOnly(std::int32_t depth, const Clock& clock) {
    return SearchLimits{true, depth, false, &clock, 0, 0};
}

void printToStdout(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void checkTime(SearchContext& context) {
    const SearchLimits& limits = context.limits;
    if ((context.nodes & 0xfff) != 0 || !limits.timeLimited) return;
    // Compared as a difference: the clock's reading may be near its end
    // while the budget is small.
    if (searchElapsed(limits) >= limits.budget) context.abort = true;
}

ScoredMove* pickBest(MoveList& list, std::uint32_t i) {
    if (i >= list.count) return nullptr;
    std::uint32_t best = i;
    for (std::uint32_t j = i + 1; j < list.count; ++j)
        if (list.moves[j].score > list.moves[best].score) best = j;
    if (best != i) {
        ScoredMove t = list.moves[i];
        list.moves[i] = list.moves[best];
        list.moves[best] = t;
    }
    return &list.moves[i];
}

void storeKiller(SearchContext& ctx, std::uint32_t distance, ScoredMove move) {
    if (distance >= KILLER_PLIES) return;
    ScoredMove* slot = ctx.killers[distance];
    if (isNoMove(slot[0].move)) slot[0] = move;
    else if (isNoMove(slot[1].move)) slot[1] = move;
    else {
        slot[1] = slot[0];
        slot[0] = move;
    }
}

bool isKiller(const SearchContext& ctx, std::uint32_t distance, ScoredMove move) {
    if (distance >= KILLER_PLIES) return false;
    return sameMove(move.move, ctx.killers[distance][0].move) ||
           sameMove(move.move, ctx.killers[distance][1].move);
}

namespace {

inline void countNode(SearchContext& ctx) {
    ++ctx.nodes;
    checkTime(ctx);
}

}  // namespace

int quiesce(SearchContext& ctx, Position& pos, int alpha, int beta) {
    countNode(ctx);
    const int distance = pos.ply - ctx.rootPly;
    int ended;
    if (terminalScore(pos, distance, ended)) return ended;
    const int us = pos.side, them = us ^ 1;
    const int standPat = evaluate(pos, us, them, alpha, beta);
    if (standPat >= beta) return standPat;
    if (pos.ply == MAX_PLY) return standPat;
    generateTactical(pos);
    MoveList& list = pos.moveLists[pos.ply];
    int best = standPat;
    for (std::uint32_t i = 0;; ++i) {
        ScoredMove* m = pickBest(list, i);
        if (m == nullptr) break;
        makeMove(pos, *m);
        int score = -quiesce(ctx, pos, -beta, -(alpha > best ? alpha : best));
        unmakeMove(pos);
        if (ctx.abort) return MATE;
        if (score > best) {
            best = score;
            if (score >= beta) return best;
        }
    }
    return best;
}

int search(SearchContext& ctx, Position& pos, int depth, int alpha, int beta, PvLine& pv) {
    countNode(ctx);
    const int distance = pos.ply - ctx.rootPly;
    int ended;
    if (terminalScore(pos, distance, ended)) return ended;
    const int us = pos.side, them = us ^ 1;
    if (pos.ply == MAX_PLY) return evaluate(pos, us, them, alpha, beta);

    // The moves are generated before the probe, although a table hit makes
    // them useless: the parent prefetched this node's bucket, and generating
    // gives the memory time to deliver it. Generation reads nothing that the
    // probe changes and changes nothing but this ply's list.
    generateMoves(pos);
    MoveList& list = pos.moveLists[pos.ply];

    const std::uint64_t key = pos.hashKeys[pos.ply];
    ScoredMove hashMove{};
    int r = probeTT(*ctx.tt, key, alpha, beta, depth, hashMove);
    if (r != NO_CUTOFF) {
        ++ctx.ttHits;
        if (r >= MATE_BOUND) return r - distance;
        if (r <= -MATE_BOUND) return r + distance;
        return r;
    }

    for (std::uint32_t i = 0; i < list.count; ++i) {
        ScoredMove& m = list.moves[i];
        if (sameMove(m.move, hashMove.move))
            m.score = static_cast<std::int16_t>(m.score + HASH_MOVE_BONUS);
        else if (!isCapture(m.move) && isKiller(ctx, static_cast<std::uint32_t>(distance), m))
            m.score = static_cast<std::int16_t>(m.score + KILLER_BONUS);
    }
    // Pawns (terminalScore saw them) but no legal move: a draw.
    if (list.count == 0) return 0;
    // Their pawn a step from its last rank can be neither blocked nor taken (both would need a pawn
    // of ours on our own first rank), and we cannot win before it arrives: a loss in two.
    if (pos.pawns[them] & rankMask(LAST_BUT_ONE_RANK[them])) return distance - (MATE - 2);
    // Our runner's two steps can be neither blocked nor answered by a win of theirs (none of their
    // pawns is a step from its last rank): a win in three, unless the first step leaves them with
    // pawns but no move, a draw that this shortcut does not look for.
    if (hasRunnerInThree(pos, us)) return MATE - 3 - distance;
    if (list.count == 1) ++depth;

    int bound = BOUND_UPPER;
    int best = -MATE;
    PvLine& child = ctx.childLines[pos.ply];
    for (std::uint32_t i = 0;; ++i) {
        ScoredMove* picked = pickBest(list, i);
        if (picked == nullptr) break;
        const ScoredMove m = *picked;
        makeMove(pos, m);
        // Only a child that is searched in full probes the table; the
        // quiescence search below depth 1 never does.
        if (depth > 1) prefetchTT(*ctx.tt, pos.hashKeys[pos.ply]);
        resetPv(child);
        const int a = alpha > best ? alpha : best;
        int score;
        if (depth <= 1) {
            score = -quiesce(ctx, pos, -beta, -a);
        } else if (i == 0) {
            score = -search(ctx, pos, depth - 1, -beta, -a, child);
        } else {
            score = -search(ctx, pos, depth - 1, -a - 1, -a, child);
            if (score > a && score < beta && !ctx.abort)
                score = -search(ctx, pos, depth - 1, -beta, -a, child);
        }
        unmakeMove(pos);
        if (ctx.abort) return MATE;
        if (score > best) {
            best = score;
            if (score >= beta) {
                bound = BOUND_LOWER;
                if (!isCapture(m.move)) storeKiller(ctx, static_cast<std::uint32_t>(distance), m);
                break;
            }
            if (score > alpha) {
                updatePv(pv, m, child);
                bound = BOUND_EXACT;
            }
        }
    }

    if (best > alpha) {
        int stored = best;
        if (best >= MATE_BOUND) stored = best + distance;
        else if (best <= -MATE_BOUND) stored = best - distance;
        storeTT(*ctx.tt, key, stored, bound, depth, 63 - (ctx.rootPly & 63), pv.moves[0]);
    }
    return best;
}
