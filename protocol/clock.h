// The engine's own clock of thinking time, in centiseconds, and the budget
// of one move under the interface's time control.
#pragma once

#include <cstdint>

struct Engine;
struct SearchContext;

struct Clock {
    bool running;
    std::int32_t used;   // centiseconds used in the game up to the last stop
    std::int32_t start;  // stamp of the last start
};

// Seconds since the epoch x 100 + milliseconds / 10, modulo 2^32. Only
// differences of stamps are used: taken in unsigned arithmetic and read as
// signed, a difference is the elapsed time even across a wrap.
std::int32_t clockStamp();

// Centiseconds between two stamps.
inline std::int32_t stampDifference(std::int32_t later, std::int32_t earlier) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(later) -
                                     static_cast<std::uint32_t>(earlier));
}

std::int32_t readClock(const Clock& clock);
void startClock(Clock& clock);
void stopClock(Clock& clock);

struct TimeAllocation {
    std::int32_t movesToGo;
    std::int32_t periods;
    std::int32_t total;      // allotted from the start of the game to the end of the period
    std::int32_t remaining;
    std::int32_t available;
    std::int32_t budget;     // what this move may use
};

// The arithmetic is done in 64 bits and every result is kept within the
// 32-bit range, so that any numbers "level" and "time" accept give a sound
// budget: a total beyond about 248 days counts as 2^31 - 1 centiseconds.
TimeAllocation allocateTime(const Engine& engine, std::int32_t used);

// Sets the context's abort flag once its budget is spent; looks at the clock
// only every 4096 nodes.
void checkTime(SearchContext& context);
