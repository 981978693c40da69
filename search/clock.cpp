#include "search/clock.h"

#include <chrono>

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
