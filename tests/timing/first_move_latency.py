#!/usr/bin/env python3
"""The first move of a fresh engine process, timed from outside: N engines
are started one after another, each is sent

    xboard / protover 2 / new / level 0 0:01 0 / time 20 / otim 20 / ping 1

and once its pong is back (start-up, the table's allocation with it, is
over by then, as a GUI waits for it too), White's e2e4; the time from
writing that line to reading the engine's "move ..." is its latency.

With 0.2 s on the clock and the engine's 0.2 s reserve the budget is 0:
the engine is to answer at once, so every latency must stay below the
limit (default 20 ms), which is all slack: the time to set up the search,
the shortest search the engine completes, and the pipes. A cost left to
the first search, such as memory touched for the first time, shows here.
Prints min/median/90%/max and the slowest starts; exit status 1 when one
is over the limit or an engine misbehaves.

usage: first_move_latency.py ENGINE [--starts N] [--limit-ms MS]
"""

import argparse
import statistics
import sys
import time

from engine_process import EngineProcess, NoAnswer, close_with_fault
from pawnchess import Board, parse_move

SETUP = "xboard\nprotover 2\nnew\nlevel 0 0:01 0\ntime 20\notim 20\n"
START_SECONDS = 10.0
ANSWER_SECONDS = 5.0


def one_start(engine_path):
    """The latency in seconds and a fault, None when there is none."""
    engine = EngineProcess(engine_path)
    fault = None
    latency = None
    try:
        engine.send(SETUP)
        engine.sync(START_SECONDS)
        sent = engine.send("e2e4\n")
        line, arrived, _ = engine.read_until("move ", sent + ANSWER_SECONDS)
        latency = arrived - sent
        board = Board()
        board.play(parse_move("e2e4"))
        text = line[len("move "):]
        if len(text) != 4 or parse_move(text) not in board.legal_moves():
            fault = f"{line!r} is not a legal reply to e2e4"
    except NoAnswer as e:
        fault = str(e)
    fault = close_with_fault(engine, fault)
    return latency, fault


def percentile(ordered, share):
    """The value at the share (0..1) of the ordered list, nearest rank."""
    return ordered[min(len(ordered) - 1, max(0, round(share * len(ordered)) - 1))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("engine")
    parser.add_argument("--starts", type=int, default=200)
    parser.add_argument("--limit-ms", type=float, default=20.0)
    args = parser.parse_args()

    latencies = []
    faults = []
    started = time.perf_counter()
    for n in range(args.starts):
        latency, fault = one_start(args.engine)
        if latency is not None:
            latencies.append((latency, n + 1))
        if fault:
            faults.append(f"start {n + 1}: {fault}")
    over = [(l, n) for l, n in latencies if l * 1000 > args.limit_ms]
    for latency, n in over:
        faults.append(f"start {n}: move after {latency * 1000:.1f} ms, limit {args.limit_ms:g} ms")
    for text in faults:
        print("FAIL " + text)
    if latencies:
        ordered = sorted(l for l, _ in latencies)
        ms = lambda s: f"{s * 1000:.2f}"
        print(f"first-move latency over {len(ordered)} starts (ms): min={ms(ordered[0])} "
              f"median={ms(statistics.median(ordered))} p90={ms(percentile(ordered, 0.9))} "
              f"max={ms(ordered[-1])}")
        slowest = sorted(latencies, reverse=True)[:5]
        print("slowest: " + " ".join(f"#{n}={ms(l)}" for l, n in slowest))
    print(f"first-move latency: {args.starts} starts, {len(faults)} failures, "
          f"limit {args.limit_ms:g} ms, {time.perf_counter() - started:.1f} s")
    return 1 if faults or not latencies else 0


if __name__ == "__main__":
    sys.exit(main())
