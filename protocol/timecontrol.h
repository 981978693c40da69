// The interface's time control and the budget of one move under it.
#pragma once

#include <cstdint>

// What "level" sets: moves per period (0 or less: the whole game is one
// period), the base time of a period and the increment, in seconds.
struct TimeControl {
    std::int32_t movesPerPeriod;
    std::int32_t baseSeconds;
    std::int32_t incrementSeconds;
};

// 40 moves in 300 seconds.
TimeControl defaultTimeControl();

// Without moves per period the budget plans for this many moves more.
constexpr std::int32_t SUDDEN_DEATH_MOVES_TO_GO = 32;
// Centiseconds of the clock that no budget touches, for the time it takes
// the move to reach the interface.
constexpr std::int32_t CLOCK_RESERVE = 20;
// The budget is this share, in percent, of the move's even part of the time.
constexpr std::int32_t BUDGET_SHARE_PERCENT = 95;

struct TimeAllocation {
    std::int32_t movesToGo;
    std::int32_t periods;
    std::int32_t total;      // allotted from the start of the game to the end of the period
    std::int32_t remaining;
    std::int32_t available;
    std::int32_t budget;     // what this move may use
};

// The budget of the move at game ply `ply` with `used` centiseconds spent.
// The arithmetic is done in 64 bits and every result is kept within the
// 32-bit range, so that any numbers "level" and "time" accept give a sound
// budget: a total beyond about 248 days counts as 2^31 - 1 centiseconds.
TimeAllocation allocateTime(const TimeControl& control, std::int32_t ply, std::int32_t used);
