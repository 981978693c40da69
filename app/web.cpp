// The engine behind a JavaScript host (Node or a Web Worker): the same
// Engine and main-loop pass as the console program, fed with bytes instead
// of a blocking read. The host copies what arrives into the module's memory
// and calls quillfen_feed; every complete line runs one pass, as a line
// read by fgets would. Output goes through the C library's stdout, which
// the host collects byte by byte.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "board/gameresult.h"
#include "board/movegen.h"
#include "protocol/engine.h"
#include "protocol/mainloop.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define QUILLFEN_EXPORT extern "C" EMSCRIPTEN_KEEPALIVE
#else
#define QUILLFEN_EXPORT extern "C"
#endif

namespace {

// The console reader takes at most this many bytes a line, the line end
// included when it fits (mainloop.cpp's buffer of 1024).
constexpr std::size_t LINE_PIECE = 1023;

Engine engine;
bool running = false;
std::string pending;  // bytes fed but not yet part of a complete line
std::string stateText;

// One line as the console reader would hand it over: the piece up to a NUL
// byte.
bool pass(std::string_view piece) {
    const std::size_t nul = piece.find('\0');
    if (nul != std::string_view::npos) piece = piece.substr(0, nul);
    return runPass(engine, &piece);
}

void finishLoop() {
    running = false;
    pending.clear();
    releaseEngine(engine);
}

// ,"name":["e2e4",...]
void appendMoves(std::string& out, const char* name, const ScoredMove* moves, std::uint32_t count) {
    out += ",\"";
    out += name;
    out += "\":[";
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        out += '"';
        out += moveText(moves[i].move);
        out += '"';
    }
    out += ']';
}

const char* sideName(int side) {
    return side == WHITE ? "white" : side == BLACK ? "black" : "none";
}

}  // namespace

// Builds the engine and runs the loop up to its first read of a line.
// Returns 1 while the loop waits for lines.
QUILLFEN_EXPORT int quillfen_start() {
    initEngine(engine);
    running = startLoop(engine);
    if (!running) finishLoop();
    return running ? 1 : 0;
}

// Hands `length` bytes of input to the engine; each complete line (or
// piece of LINE_PIECE bytes) runs one pass. Returns 1 while the loop goes
// on, 0 once it has ended ("quit"); bytes after that are dropped.
QUILLFEN_EXPORT int quillfen_feed(const char* bytes, int length) {
    if (!running) return 0;
    pending.append(bytes, static_cast<std::size_t>(length > 0 ? length : 0));
    std::size_t used = 0;
    while (running) {
        const std::string_view rest = std::string_view(pending).substr(used);
        const std::size_t end = rest.find('\n');
        std::size_t size;
        if (end != std::string_view::npos && end + 1 <= LINE_PIECE) {
            size = end + 1;
        } else if (rest.size() >= LINE_PIECE) {
            size = LINE_PIECE;
        } else {
            break;
        }
        const std::string line(rest.substr(0, size));
        used += size;
        running = pass(line);
    }
    if (!running) {
        finishLoop();
        return 0;
    }
    pending.erase(0, used);
    return 1;
}

// The end of input: a last line without its line end is still read, then
// the loop ends as at the console's end of file.
QUILLFEN_EXPORT void quillfen_end() {
    while (running && !pending.empty()) {
        const std::size_t size = pending.size() < LINE_PIECE ? pending.size() : LINE_PIECE;
        const std::string line = pending.substr(0, size);
        pending.erase(0, size);
        running = pass(line);
    }
    if (running) runPass(engine, nullptr);
    if (running) finishLoop();
}

// The game as the engine holds it, for a page to draw, as one line of JSON:
//   board   64 characters a1, b1, ... h8: 'P' white, 'p' black, '.' empty
//   toMove  "white" or "black";  engine  the side it plays, or "none"
//   result  "ongoing", "white", "black" or "draw"; reason  why it ended
//   legal   the moves the side to move may play, by the engine's own rules
//   moves   the game's moves from the start
// Valid until the next call into the module.
QUILLFEN_EXPORT const char* quillfen_state() {
    const Position& game = engine.game;
    std::string& out = stateText;
    out = "{\"board\":\"";
    for (int sq = 0; sq < 64; ++sq) {
        const Bitboard bit = squareBit(sq);
        out += (game.pawns[WHITE] & bit) ? 'P' : (game.pawns[BLACK] & bit) ? 'p' : '.';
    }
    out += "\",\"toMove\":\"";
    out += sideName(game.side);
    out += "\",\"engine\":\"";
    out += sideName(engine.engineSide);
    out += "\",\"ply\":";
    out += std::to_string(game.ply);

    const GameResult result = gameResult(game);
    const char* resultName = "ongoing";
    const char* reason = "";
    const int winner = game.side ^ 1;
    if (result == GameResult::WHITE_WINS || result == GameResult::BLACK_WINS) {
        resultName = sideName(winner);
        reason = hasReachedLastRank(game.pawns[winner], winner) ? "last rank" : "no pawns";
    } else if (result == GameResult::DRAW) {
        resultName = "draw";
        reason = "no move";
    }
    out += ",\"result\":\"";
    out += resultName;
    out += "\",\"reason\":\"";
    out += reason;
    out += '"';

    // The moves of the side to move, from the generator the search uses.
    static Position scratch;
    scratch = game;
    if (result == GameResult::ONGOING && scratch.ply < MAX_PLY &&
        !hasReachedLastRank(scratch.pawns[scratch.side], scratch.side)) {
        generateMoves(scratch);
        const MoveList& legal = scratch.moveLists[scratch.ply];
        appendMoves(out, "legal", legal.moves, legal.count);
    } else {
        appendMoves(out, "legal", nullptr, 0);
    }
    appendMoves(out, "moves", game.history, static_cast<std::uint32_t>(game.ply));
    out += '}';
    return out.c_str();
}
