#include "protocol/clock.h"

#include <chrono>
#include <limits>

#include "protocol/engine.h"

std::int32_t clockStamp() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    auto seconds = static_cast<std::uint64_t>(ms / 1000);
    auto millis = static_cast<std::uint64_t>(ms % 1000);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds * 100 + millis / 10));
}

std::int32_t readClock(const Clock& clock) {
    if (!clock.running) return clock.used;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock.used) +
                                     static_cast<std::uint32_t>(stampDifference(clockStamp(), clock.start)));
}

void startClock(Clock& clock) {
    if (clock.running) return;
    clock.running = true;
    clock.start = clockStamp();
}

void stopClock(Clock& clock) {
    if (!clock.running) return;
    clock.running = false;
    clock.used = static_cast<std::int32_t>(static_cast<std::uint32_t>(clock.used) +
                                           static_cast<std::uint32_t>(stampDifference(clockStamp(), clock.start)));
}

static std::int32_t clamp32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

TimeAllocation allocateTime(const Engine& engine, std::int32_t used) {
    TimeAllocation a{};
    std::int64_t periods = 1, movesToGo, total;
    if (engine.mps > 0) {
        movesToGo = std::int64_t{engine.mps} - engine.game.ply / 2;
        if (movesToGo <= 0) {
            // As many whole periods as it takes to bring movesToGo above 0.
            std::int64_t extra = (-movesToGo) / engine.mps + 1;
            movesToGo += extra * engine.mps;
            periods += extra;
        }
        total = std::int64_t{engine.baseSeconds} * periods + engine.incSeconds;
    } else {
        total = std::int64_t{engine.baseSeconds} + engine.incSeconds;
        movesToGo = 32;
    }
    a.total = clamp32(total * 100);
    a.movesToGo = static_cast<std::int32_t>(movesToGo);
    a.periods = clamp32(periods);
    std::int64_t remaining = std::int64_t{a.total} - used;
    a.remaining = clamp32(remaining);
    std::int64_t available = remaining - 20 > 0 ? remaining - 20 : 0;
    a.available = clamp32(available);
    a.budget = clamp32(a.available / movesToGo * 95 / 100);
    return a;
}

void checkTime(SearchContext& context) {
    if ((context.nodes & 0xfff) != 0 || !context.timeLimited) return;
    if (std::int64_t{readClock(*context.clock)} >=
        std::int64_t{context.startUsed} + context.budget)
        context.abort = true;
}
