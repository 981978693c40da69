#include "protocol/timecontrol.h"

#include <limits>

namespace {

std::int32_t clamp32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace

TimeControl defaultTimeControl() { return TimeControl{40, 300, 0}; }

TimeAllocation allocateTime(const TimeControl& control, std::int32_t ply, std::int32_t used) {
    TimeAllocation a{};
    const std::int64_t mps = control.movesPerPeriod;
    std::int64_t periods = 1, movesToGo, total;
    if (mps > 0) {
        movesToGo = mps - ply / 2;
        if (movesToGo <= 0) {
            // As many whole periods as it takes to bring movesToGo above 0.
            std::int64_t extra = (-movesToGo) / mps + 1;
            movesToGo += extra * mps;
            periods += extra;
        }
        total = std::int64_t{control.baseSeconds} * periods + control.incrementSeconds;
    } else {
        total = std::int64_t{control.baseSeconds} + control.incrementSeconds;
        movesToGo = SUDDEN_DEATH_MOVES_TO_GO;
    }
    a.total = clamp32(total * 100);
    a.movesToGo = static_cast<std::int32_t>(movesToGo);
    a.periods = clamp32(periods);
    std::int64_t remaining = std::int64_t{a.total} - used;
    a.remaining = clamp32(remaining);
    std::int64_t available = remaining - CLOCK_RESERVE > 0 ? remaining - CLOCK_RESERVE : 0;
    a.available = clamp32(available);
    a.budget = clamp32(a.available / movesToGo * BUDGET_SHARE_PERCENT / 100);
    return a;
}
