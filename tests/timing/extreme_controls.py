#!/usr/bin/env python3
"""Extreme time controls and clock values: each case goes to a fresh engine
process as

    xboard / protover 2 / new / <the case's level, time and otim lines> / ping 1

and once the pong is back (start-up is not timed), "go": the engine, White,
must answer with a legal "move ..." within the case's time plus a slack.
Then the same clock lines and a Black reply are sent, and the second move
is held to the same bound: a clock that went wrong in the first move's
bookkeeping shows there. A case marked Black is played the other way
round: the clock lines and White's first move instead of "go".

A case's time is what the engine may spend on the whole rest of the game:
the lesser of the level's allotment and the "time" it was sent (the engine
keeps its clock within the level, so a huge "time" under a short level
still leaves only the level's seconds, and a rejected "time" leaves the
level's). Controls that would allow a long think are paired with a small
"time", so that every bound is short. The point of each is that a number
at the edge of its range must not turn into a clock with time to spare:
"level 0 99999999 0" with "time 0" leaves no time at all.

A table of every case's measured answer times is printed; the exit status
is 1 when a case failed.

usage: extreme_controls.py ENGINE [--slack SECONDS] [--case SUBSTRING]
"""

import argparse
import sys
import time

from engine_process import EngineProcess, NoAnswer, close_with_fault
from pawnchess import BLACK, WHITE, Board, move_text, parse_move

# Start-up (the table is allocated and touched) and the handshake.
START_SECONDS = 10.0

# name, the clock lines, the seconds left to the engine for the rest of
# the game, and the engine's side when it is not White.
CASES = [
    # No time left, or one centisecond, under ordinary controls.
    ("sudden death 1 s, time 0", "level 0 0:01 0\ntime 0\notim 100", 0),
    ("sudden death 1 s, time 1", "level 0 0:01 0\ntime 1\notim 100", 0.01),
    ("40 in 5 min, time 0", "level 40 5 0\ntime 0\notim 30000", 0),
    ("40 in 5 min, time 1", "level 40 5 0\ntime 1\notim 30000", 0.01),
    ("1 in 1 s, time 0", "level 1 0:01 0\ntime 0\notim 100", 0),
    ("1 in 1 s, time 1 s", "level 1 0:01 0\ntime 100\notim 100", 1),
    ("2 in 1 s, time 0.5 s", "level 2 0:01 0\ntime 50\notim 100", 0.5),
    ("1 in 1 s as Black, time 0", "level 1 0:01 0\ntime 0\notim 100", 0, BLACK),
    ("1 in 1 s as Black, time 1 s", "level 1 0:01 0\ntime 100\notim 100", 1, BLACK),
    ("all zero", "level 0 0:00 0\ntime 0\notim 0", 0),
    ("increment only, time 0", "level 0 0 5\ntime 0\notim 500", 0),
    ("increment only, time 1 s", "level 0 0 5\ntime 100\notim 100", 1),
    ("fractional increment", "level 0 0:01 0.5\ntime 50\notim 50", 0.5),
    # Huge controls: the clock says how little is left.
    ("huge base, time 0", "level 0 99999999 0\ntime 0\notim 0", 0),
    ("huge base, time 1", "level 0 99999999 0\ntime 1\notim 1", 0.01),
    ("huge base, time 1 s", "level 0 99999999 0\ntime 100\notim 100", 1),
    ("huge base and increment, time 0", "level 0 99999999 99999999\ntime 0\notim 0", 0),
    ("huge increment, time 0.3 s", "level 0 0:00 99999999\ntime 30\notim 30", 0.3),
    ("huge moves per period, time 1 s", "level 99999999 0:01 0\ntime 100\notim 100", 1),
    ("huge everything, time 0.5 s", "level 99999999 99999999 99999999\ntime 50\notim 50", 0.5),
    ("int32 limits, time 0.5 s",
     "level 2147483647 2147483647:2147483647 2147483647\ntime 50\notim 50", 0.5),
    ("beyond int32, time 0.5 s",
     "level 99999999999 99999999999:99999999999 99999999999\ntime 50\notim 50", 0.5),
    ("huge seconds in m:ss, time 1 s", "level 0 0:99999999999 0\ntime 100\notim 100", 1),
    # Negative arguments.
    ("negative everything, time 1 s", "level -1 -5 -3\ntime 100\notim 100", 1),
    ("negative m:ss, time 1 s", "level 0 -1:-30 0\ntime 100\notim 100", 1),
    ("negative seconds, time 1 s", "level 0 0:-1 0\ntime 100\notim 100", 1),
    ("negative increment, time 1 s", "level 40 0:30 -10\ntime 100\notim 100", 1),
    ("int32 minimum, time 0.5 s",
     "level -2147483648 -2147483648:-2147483648 -2147483648\ntime 50\notim 50", 0.5),
    # Huge or rejected "time" under a short level: the level's second counts.
    ("time 2^31-1 under 1 s", "level 0 0:01 0\ntime 2147483647\notim 100", 1),
    ("time 2^31 under 1 s", "level 0 0:01 0\ntime 2147483648\notim 100", 1),
    ("time 99999999999 under 1 s", "level 0 0:01 0\ntime 99999999999\notim 100", 1),
    ("time -1 under 1 s", "level 0 0:01 0\ntime -1\notim 100", 1),
    ("time -2^31 under 1 s", "level 0 0:01 0\ntime -2147483648\notim 100", 1),
    ("time 2^31-1 under 40 in 1 s", "level 40 0:01 0\ntime 2147483647\notim 100", 1),
    # Odd opponent clocks change nothing.
    ("otim -1", "level 0 0:01 0\ntime 50\notim -1", 0.5),
    ("otim 0", "level 0 0:01 0\ntime 50\notim 0", 0.5),
    ("otim 99999999999", "level 0 0:01 0\ntime 50\notim 99999999999", 0.5),
    ("otim -2147483648", "level 0 0:01 0\ntime 50\notim -2147483648", 0.5),
]


def run_case(engine_path, clock_lines, bound, side):
    """The two answer times (None for a move not reached) and a fault, None
    when there is none."""
    engine = EngineProcess(engine_path)
    times = [None, None]
    fault = None
    board = Board()
    try:
        engine.send("xboard\nprotover 2\nnew\n" + clock_lines + "\n")
        engine.sync(START_SECONDS)
        time_lines = clock_lines.split("\n", 1)[1]
        if side == WHITE:
            command = "go\n"
        else:
            opening = sorted(board.legal_moves())[0]
            board.play(opening)
            command = time_lines + "\n" + move_text(opening) + "\n"
        for n in range(2):
            sent = engine.send(command)
            try:
                line, arrived, _ = engine.read_until("move ", sent + bound + 5)
            except NoAnswer as e:
                times[n] = float("inf")
                fault = f"move {n + 1}: {e}"
                break
            times[n] = arrived - sent
            text = line[len("move "):]
            if text.strip() == "" or len(text) < 4 or parse_move(text) not in board.legal_moves():
                fault = f"move {n + 1}: {line!r} is not a legal move"
                break
            if times[n] > bound:
                fault = f"move {n + 1} after {times[n]:.3f} s, bound {bound:.3f} s"
                break
            board.play(parse_move(text))
            reply = sorted(board.legal_moves())[0]
            board.play(reply)
            command = time_lines + "\n" + move_text(reply) + "\n"
    except NoAnswer as e:
        fault = f"start-up: {e}"
    fault = close_with_fault(engine, fault)
    return times, fault


def shown(seconds):
    if seconds is None:
        return "-"
    return "none" if seconds == float("inf") else f"{seconds:.3f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("engine")
    parser.add_argument("--slack", type=float, default=0.5,
                        help="seconds allowed beyond the time the engine was given")
    parser.add_argument("--case", default="", help="run only cases whose name contains this")
    args = parser.parse_args()

    cases = [c for c in CASES if args.case in c[0]]
    if not cases:
        sys.exit(f"no case matches {args.case!r}")
    width = max(len(c[0]) for c in cases)
    print(f"{'case':{width}}  given s  bound s  move 1 s  move 2 s")
    failed = []
    started = time.perf_counter()
    for name, clock_lines, given, *side in cases:
        bound = given + args.slack
        times, fault = run_case(args.engine, clock_lines, bound, side[0] if side else WHITE)
        print(f"{name:{width}}  {given:7.2f}  {bound:7.2f}  {shown(times[0]):>8}  "
              f"{shown(times[1]):>8}{'  FAIL' if fault else ''}", flush=True)
        if fault:
            failed.append(f"{name} ({' / '.join(clock_lines.split(chr(10)))}): {fault}")
    for text in failed:
        print("FAIL " + text)
    print(f"extreme controls: {len(cases)} cases, {len(failed)} failed, "
          f"{time.perf_counter() - started:.1f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
