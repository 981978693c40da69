// The engine's own clock of thinking time, in centiseconds. The search
// reads it to keep to its budget; the front end starts and stops it around
// the engine's turns.
#pragma once

#include <cstdint>

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

// The centiseconds used so far, counting a running clock's time since its
// start; never wraps: it stops at 2^31 - 1.
std::int32_t readClock(const Clock& clock);
void startClock(Clock& clock);
void stopClock(Clock& clock);
