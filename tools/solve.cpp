#include "tools/solve.h"

#include <bit>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "board/gameresult.h"
#include "board/movegen.h"

namespace {

// The rank of `sq` counted from `side`'s first rank: its start rank is 1,
// its last rank 7.
constexpr int relativeRank(int sq, int side) { return side == WHITE ? rankOf(sq) : 7 - rankOf(sq); }

constexpr Bitboard fileMask(int file) { return 0x0101010101010101ULL << file; }

// The squares of `file` whose rank relative to `side` lies in first..last.
Bitboard relativeSpan(int file, int side, int first, int last) {
    Bitboard b = 0;
    for (int r = first; r <= last; ++r) b |= squareBit((side == WHITE ? r : 7 - r) * 8 + file);
    return b;
}

int absolute(int x) { return x < 0 ? -x : x; }

std::uint64_t scramble(std::uint64_t x) {
    x ^= x >> 31;
    x *= 0x7fb5d329728ea185ULL;
    x ^= x >> 27;
    x *= 0x81dadef4bc2dd44dULL;
    x ^= x >> 33;
    return x;
}

// Plies from the root within which a helper thread shuffles its move order.
constexpr int SHUFFLE_PLIES = 12;
constexpr std::int16_t TABLE_MOVE_SCORE = 32000;

}  // namespace

bool promotesNext(const Position& pos) {
    return (pos.pawns[pos.side] & rankMask(LAST_BUT_ONE_RANK[pos.side])) != 0;
}

bool losesToPromotion(const Position& pos) {
    const int o = pos.side ^ 1;
    return (pos.pawns[o] & rankMask(LAST_BUT_ONE_RANK[o])) != 0 && !promotesNext(pos);
}

int runnerMoves(const Position& pos) {
    const int s = pos.side, o = s ^ 1;
    const Bitboard own = pos.pawns[s], enemy = pos.pawns[o], all = own | enemy;
    int best = 0;
    forEachSquare(own, [&](int sq) {
        const int f = fileOf(sq), r = relativeRank(sq, s);
        if (r < 1 || r > 5) return;
        const int k = r == 1 ? 5 : 7 - r;
        if (best != 0 && k >= best) return;
        if (all & relativeSpan(f, s, r + 1, 6)) return;
        bool reachable = false;
        forEachSquare(enemy, [&](int e) {
            const int d = absolute(fileOf(e) - f);
            const int reach = relativeRank(e, s) - (d > 1 ? d - 1 : 0);
            if (reach > r) reachable = true;
        });
        if (!reachable) best = k;
    });
    if (best == 0) return 0;
    bool canStep = false;
    bool tooFast = false;
    forEachSquare(enemy, [&](int e) {
        // Counted from the runner's side, the enemy pawn's rank is the
        // number of steps it needs to promote.
        const int q = relativeRank(e, s);
        const int moves = q == 6 ? 5 : q;
        if (moves < best) tooFast = true;
        if (q >= best && (all & relativeSpan(fileOf(e), s, q - (best - 1), q - 1)) == 0) canStep = true;
    });
    return !tooFast && canStep ? best : 0;
}

const char* valueName(int value) { return value > 0 ? "win" : value < 0 ? "loss" : "draw"; }

namespace {

struct Shared {
    std::atomic<bool> stop{false};
};

class Worker {
public:
    Worker(const Position& root, SolveTable& table, const SolveOptions& options, Shared& shared,
           int id)
        : pos_(root), table_(table), options_(options), shared_(shared), id_(id),
          rootPly_(root.ply) {}

    // The value of the root: a null window at one side of the draw, then
    // the other. Odd-numbered helpers ask the two questions the other way
    // round, so that with two threads both are in hand at once. False when
    // stopped.
    bool solveRoot(int& value) {
        const bool drawFirst = id_ % 2 == 1;
        for (int question = 0; question < 2; ++question) {
            const bool askWin = (question == 0) != drawFirst;
            phase_.store(askWin ? 0 : 1, std::memory_order_relaxed);
            const int v = askWin ? search(DRAW, WIN) : search(LOSS, DRAW);
            if (aborted_) return false;
            if (askWin) {
                if (v >= WIN) { value = WIN; return true; }
                upper_.store(DRAW, std::memory_order_relaxed);
            } else {
                if (v < DRAW) { value = LOSS; return true; }
                lower_.store(DRAW, std::memory_order_relaxed);
            }
            if (lower_.load() == upper_.load()) {
                value = lower_.load();
                return true;
            }
        }
        value = lower_.load();
        return true;
    }

    // A root move that keeps `value`, proved again through the table.
    Move bestMove(int value) {
        MoveList& list = pos_.moveLists[pos_.ply];
        generateMoves(pos_);
        if (list.count == 0) return NO_MOVE;
        if (promotesNext(pos_)) {
            for (std::uint32_t i = 0; i < list.count; ++i)
                if (relativeRank(moveTo(list.moves[i].move), pos_.side) == 7) return list.moves[i].move;
        }
        if (options_.againstPromotion && losesToPromotion(pos_)) return list.moves[0].move;
        for (std::uint32_t i = 0; i < list.count; ++i) {
            const ScoredMove m = list.moves[i];
            makeMove(pos_, m);
            bool keeps = true;
            if (value == WIN) keeps = search(LOSS, DRAW) < DRAW;
            else if (value == DRAW) keeps = search(DRAW, WIN) < WIN;
            unmakeMove(pos_);
            if (keeps) return m.move;
        }
        return list.moves[0].move;
    }

    std::uint64_t nodes() const { return published_.load(std::memory_order_relaxed); }
    std::uint64_t finalNodes() const { return nodes_; }
    void fill(SolveProgress& p) const {
        p.phase = phase_.load(std::memory_order_relaxed) == 0 ? "testing for a win"
                                                              : "testing for at least a draw";
        p.rootMove = rootMove_.load(std::memory_order_relaxed);
        p.rootMoves = rootMoves_.load(std::memory_order_relaxed);
    }
    int lower() const { return lower_.load(); }
    int upper() const { return upper_.load(); }

private:
    SolveKey keyOf() const {
        const Bitboard w = pos_.pawns[WHITE], b = pos_.pawns[BLACK];
        const int ep = pos_.epSquares[pos_.ply];
        if (options_.mirror) return canonicalKey(w, b, pos_.side, ep);
        return {w, b, pos_.side, ep, false};
    }

    int search(int alpha, int beta) {
        if ((++nodes_ & 1023) == 0) {
            published_.store(nodes_, std::memory_order_relaxed);
            if (shared_.stop.load(std::memory_order_relaxed)) aborted_ = true;
        }
        if (aborted_) return DRAW;
        const int s = pos_.side;
        if (promotesNext(pos_)) return WIN;
        if (pos_.pawns[s] == 0) return LOSS;

        const SolveKey key = keyOf();
        SolveEntry entry;
        int tableFrom = NO_SQUARE, tableTo = NO_SQUARE;
        if (table_.probe(key, entry)) {
            if (entry.lower >= beta || entry.lower == entry.upper) return entry.lower;
            if (entry.upper <= alpha) return entry.upper;
            if (entry.lower > alpha) alpha = entry.lower;
            if (entry.upper < beta) beta = entry.upper;
            if (entry.from != NO_SQUARE) {
                tableFrom = key.mirrored ? mirrorSquare(entry.from) : entry.from;
                tableTo = key.mirrored ? mirrorSquare(entry.to) : entry.to;
            }
        }
        if (options_.runner && runnerMoves(pos_) != 0) return WIN;

        MoveList& list = pos_.moveLists[pos_.ply];
        generateMoves(pos_);
        if (list.count == 0) return DRAW;
        if (options_.againstPromotion && losesToPromotion(pos_)) return LOSS;
        const std::uint64_t startNodes = nodes_;
        const bool atRoot = pos_.ply == rootPly_;
        const bool shuffle = id_ != 0 && pos_.ply - rootPly_ < SHUFFLE_PLIES;
        const std::uint64_t salt = shuffle ? scramble(pos_.hashKeys[pos_.ply] + static_cast<std::uint64_t>(id_)) : 0;
        for (std::uint32_t i = 0; i < list.count; ++i) {
            ScoredMove& m = list.moves[i];
            if (moveFrom(m.move) == tableFrom && moveTo(m.move) == tableTo)
                m.score = TABLE_MOVE_SCORE;
            else if (shuffle)
                m.score = static_cast<std::int16_t>(m.score + static_cast<int>((salt >> (2 * i)) & 1023));
        }

        // Enhanced transposition cutoffs: a reply already proven good
        // enough ends the node before any search; a reply already proven
        // to fail low needs no search, its bound is all it can give.
        int knownUpper[MAX_MOVES];
        bool known[MAX_MOVES];
        for (std::uint32_t i = 0; i < list.count; ++i) {
            known[i] = false;
            knownUpper[i] = LOSS;
        }
        if (options_.enhancedCutoffs) {
            for (std::uint32_t i = 0; i < list.count; ++i) {
                makeMove(pos_, list.moves[i]);
                SolveEntry child;
                const bool found = table_.probe(keyOf(), child);
                unmakeMove(pos_);
                if (!found) continue;
                if (-child.upper >= beta) {
                    store(key, -child.upper, WIN, list.moves[i].move, 0);
                    return -child.upper;
                }
                if (-child.lower <= alpha) {
                    known[i] = true;
                    knownUpper[i] = -child.lower;
                    list.moves[i].score = -30000;
                }
            }
        }

        if (atRoot) rootMoves_.store(static_cast<int>(list.count), std::memory_order_relaxed);
        int best = LOSS - 1;
        Move bestMove = NO_MOVE;
        const int originalAlpha = alpha;
        for (std::uint32_t i = 0; i < list.count; ++i) {
            // The best-scored of the rest, the earliest of equals.
            std::uint32_t pick = i;
            for (std::uint32_t j = i + 1; j < list.count; ++j)
                if (list.moves[j].score > list.moves[pick].score) pick = j;
            const ScoredMove m = list.moves[pick];
            list.moves[pick] = list.moves[i];
            list.moves[i] = m;
            std::swap(known[pick], known[i]);
            std::swap(knownUpper[pick], knownUpper[i]);
            if (known[i]) {
                if (knownUpper[i] > best) {
                    best = knownUpper[i];
                    bestMove = m.move;
                }
                continue;
            }
            if (atRoot) rootMove_.store(static_cast<int>(i + 1), std::memory_order_relaxed);

            makeMove(pos_, m);
            const int v = -search(-beta, -(best > alpha ? best : alpha));
            unmakeMove(pos_);
            if (aborted_) return DRAW;
            if (v > best) {
                best = v;
                bestMove = m.move;
                if (best >= beta) break;
            }
        }
        const int work = std::bit_width(nodes_ - startNodes);
        if (best >= beta) store(key, best, WIN, bestMove, work);
        else if (best <= originalAlpha) store(key, LOSS, best, bestMove, work);
        else store(key, best, best, bestMove, work);
        return best;
    }

    void store(const SolveKey& key, int lower, int upper, Move m, int work) {
        int from = moveFrom(m), to = moveTo(m);
        if (isNoMove(m)) from = to = NO_SQUARE;
        else if (key.mirrored) from = mirrorSquare(from), to = mirrorSquare(to);
        table_.store(key, lower, upper, from, to, work);
    }

    Position pos_;
    SolveTable& table_;
    const SolveOptions& options_;
    Shared& shared_;
    int id_;
    int rootPly_;
    std::uint64_t nodes_ = 0;
    bool aborted_ = false;
    std::atomic<std::uint64_t> published_{0};
    std::atomic<int> phase_{0};
    std::atomic<int> rootMove_{0};
    std::atomic<int> rootMoves_{0};
    std::atomic<int> lower_{LOSS};
    std::atomic<int> upper_{WIN};
};

}  // namespace

Solver::Solver(SolveTable& table, const SolveOptions& options) : table_(table), options_(options) {
    if (options_.threads < 1) options_.threads = 1;
}

SolveResult Solver::solve(const Position& root,
                          const std::function<void(const SolveProgress&)>& progress,
                          double interval) {
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    SolveResult result;
    if (isGameOver(root)) {
        result.value = LOSS;
        return result;
    }
    if (gameResult(root) == GameResult::DRAW) {
        result.value = DRAW;
        return result;
    }

    Shared shared;
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < options_.threads; ++i)
        workers.push_back(std::make_unique<Worker>(root, table_, options_, shared, i));

    std::mutex mutex;
    std::condition_variable finished;
    int winner = -1;
    int value = DRAW;
    std::vector<std::thread> threads;
    for (int i = 0; i < options_.threads; ++i) {
        threads.emplace_back([&, i] {
            int v = DRAW;
            if (workers[static_cast<std::size_t>(i)]->solveRoot(v)) {
                std::lock_guard<std::mutex> guard(mutex);
                if (winner < 0) {
                    winner = i;
                    value = v;
                }
                shared.stop.store(true);
                finished.notify_all();
            }
        });
    }
    {
        std::unique_lock<std::mutex> guard(mutex);
        const auto step = std::chrono::duration<double>(interval);
        while (winner < 0) {
            if (!finished.wait_for(guard, step, [&] { return winner >= 0; }) && progress) {
                SolveProgress p;
                for (const auto& w : workers) p.nodes += w->nodes();
                p.seconds = elapsed();
                workers[0]->fill(p);
                for (const auto& w : workers) {
                    if (w->lower() > p.lowerBound) p.lowerBound = w->lower();
                    if (w->upper() < p.upperBound) p.upperBound = w->upper();
                }
                progress(p);
            }
        }
    }
    for (std::thread& t : threads) t.join();
    for (const auto& w : workers) result.nodes += w->finalNodes();

    // The move is proved again on one thread: the table now holds the
    // whole proof, so this costs little.
    Shared alone;
    Worker chooser(root, table_, options_, alone, 0);
    result.best = chooser.bestMove(value);
    result.nodes += chooser.finalNodes();
    result.value = value;
    result.seconds = elapsed();
    return result;
}
