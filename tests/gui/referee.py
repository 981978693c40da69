#!/usr/bin/env python3
"""Referee for games that xboard ran: reads xboard's debug log (-debug
-nameOfDebugFile) and, optionally, what xboard printed on its console, replays
every game by the rules in tools/pawnchess.py and reports each fault it
finds.

    referee.py DEBUG_LOG [--console FILE] [--games N]

Exit status 0 when the log holds N whole games (default 1) without a fault,
1 otherwise. The faults:
  - an engine move that is malformed, carries a suffix, is illegal, comes out
    of turn or after the game has ended;
  - an engine that refuses a move it was sent;
  - a game without result, or fewer games than expected;
  - a result that xboard decided itself (forfeit, adjudication, time) or that
    differs from the outcome of the rules;
  - an engine process that died;
  - an error that xboard reported on its console (its pop-up texts).
"""
import argparse
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from pawnchess import RESULT_COMMENT, Board, parse_move  # noqa: E402

# "1234 >first : e2e4" (to an engine) and "1234 <second: move e7e5" (from one).
ENGINE_IO = re.compile(r"^\d+ ([<>])(first|second)\s*: ?(.*)$")
MOVE_TEXT = re.compile(r"^[a-h][1-8][a-h][1-8]$")
SENT_MOVE = re.compile(r"^([a-h][1-8][a-h][1-8])[a-z]?$")
RESULT_CMD = re.compile(r"^result (1-0|0-1|1/2-1/2|\*)\s*(?:\{(.*)\})?\s*$")
GAME_ENDS = re.compile(r"^GameEnds\((\d+), (.*), \d+\)$")
ENGINE_DEATH = re.compile(r"(Error writing to|Error reading from|exited unexpectedly"
                          r"|chess program.*(?:exited|died|terminated))", re.I)


class Game:
    def __init__(self, number):
        self.number = number
        self.board = Board()
        self.moves = []          # (mover, text): mover is first, second or person
        self.outcome = None      # by the rules, once reached
        self.result = None       # (result, comment) as xboard decided it
        self.pending = {}        # engine -> move of the other engine not yet forwarded


def referee(log_lines, console_lines=(), expected_games=1):
    """Returns (games, faults) for a debug log given as a list of lines."""
    games, faults = [], []
    game = None

    def fault(text):
        where = f"game {game.number}: " if game else ""
        faults.append(where + text)

    def start_game():
        nonlocal game
        game = Game(len(games) + 1)
        games.append(game)

    def play(mover, text):
        if game.result or game.outcome:
            fault(f"{mover} move {text} after the game's end")
            return
        if game.moves and game.moves[-1][0] == mover:
            fault(f"{mover} moved twice in a row ({text})")
        move = parse_move(text)
        if move not in game.board.legal_moves():
            fault(f"illegal move {text} by {mover}")
            return
        game.board.play(move)
        game.moves.append((mover, text))
        game.outcome = game.board.result()

    for raw in log_lines:
        line = raw.rstrip("\n")
        io = ENGINE_IO.match(line)
        if io:
            direction, engine, text = io.groups()
            text = text.strip()
            other = "second" if engine == "first" else "first"
            if direction == ">":
                if text == "new":
                    if game is None or game.result or game.moves:
                        start_game()
                    continue
                if game is None:
                    continue
                result = RESULT_CMD.match(text)
                if result:
                    if game.result is None:
                        game.result = (result.group(1), (result.group(2) or "").strip())
                    continue
                sent = SENT_MOVE.match(text)
                if sent:
                    forwarded = game.pending.pop(engine, None)
                    if forwarded is None:
                        play("person", sent.group(1))
                    elif forwarded != sent.group(1):
                        fault(f"xboard passed {text} on to {engine} for {forwarded}")
                continue
            # A line from an engine.
            if ENGINE_DEATH.search(text):
                fault(f"engine {engine} died: {text}")
            if game is None:
                continue
            if text.startswith("move"):
                played = text[4:].strip()
                if not text.startswith("move ") or not MOVE_TEXT.match(played):
                    fault(f"malformed or suffixed move from {engine}: {text!r}")
                    played = played[:4]
                    if not SENT_MOVE.match(played):
                        continue
                play(engine, played)
                game.pending[other] = played
            elif text.startswith("Error (illegal move):") and \
                    SENT_MOVE.match(text.split(":", 1)[1].strip()):
                fault(f"engine {engine} refused a move: {text}")
            elif text.startswith("Illegal move"):
                fault(f"engine {engine} refused a move: {text}")
            continue
        ends = GAME_ENDS.match(line)
        if ends and ends.group(1) != "0" and ENGINE_DEATH.search(ends.group(2)):
            fault(f"engine died: {ends.group(2)}")
        elif ENGINE_DEATH.search(line) and not line.startswith(("StartChildProcess", "GameEnds")):
            fault(f"engine died: {line}")

    for line in console_lines:
        line = line.rstrip("\n")
        if line.startswith("xboard: ") and "final score" not in line:
            game = None
            fault(f"xboard reported: {line[8:]}")

    game = None
    for g in games:
        game = g
        if g.result is None or g.result[0] == "*":
            fault("unfinished game" + (f" ({g.result[1]})" if g.result else ""))
            continue
        result, comment = g.result
        if g.outcome is None:
            fault(f"xboard ended the game {result} {{{comment}}} before the rules did")
        elif result != g.outcome:
            fault(f"result {result} {{{comment}}} but the rules give {g.outcome}")
        elif comment != RESULT_COMMENT[result]:
            fault(f"result {result} with comment {{{comment}}}")
    game = None
    finished = sum(1 for g in games if g.result and g.result[0] != "*")
    if finished < expected_games:
        fault(f"{finished} finished games, expected {expected_games}")
    return games, faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--console")
    parser.add_argument("--games", type=int, default=1)
    args = parser.parse_args()
    with open(args.log, errors="replace") as f:
        log_lines = f.readlines()
    console = []
    if args.console:
        with open(args.console, errors="replace") as f:
            console = f.readlines()
    games, faults = referee(log_lines, console, args.games)
    for g in games:
        first = g.moves[0][0] if g.moves else "-"
        print(f"game {g.number}: {len(g.moves)} moves, White {first}, "
              f"result {g.result}, rules {g.outcome}")
    for f in faults:
        print("FAULT:", f)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
