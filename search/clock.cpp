#include "search/clock.h"

#include <chrono>
#include <limits>

std::int32_t clockStamp() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    auto seconds = static_cast<std::uint64_t>(ms / 1000);
    auto millis = static_cast<std::uint64_t>(ms % 1000);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(seconds * 100 + millis / 10));
}

namespace {

// `used` plus the time since `start`, held at 2^31 - 1 instead of wrapping:
// a clock that wrapped would read less after more time, and the search
// would never see its budget spent. A wall clock set back counts as no time.
std::int32_t usedUntilNow(const Clock& clock) {
    std::int32_t elapsed = stampDifference(clockStamp(), clock.start);
    if (elapsed < 0) elapsed = 0;
    const std::int64_t sum = std::int64_t{clock.used} + elapsed;
    return sum > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(sum);
}

}  // namespace

std::int32_t readClock(const Clock& clock) {
    return clock.running ? usedUntilNow(clock) : clock.used;
}

void startClock(Clock& clock) {
    if (clock.running) return;
    clock.running = true;
    clock.start = clockStamp();
}

void stopClock(Clock& clock) {
    if (!clock.running) return;
    clock.used = usedUntilNow(clock);
    clock.running = false;
}
