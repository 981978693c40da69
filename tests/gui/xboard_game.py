#!/usr/bin/env python3
"""Plays Quillfen in the real xboard, headless under Xvfb, and has the
referee judge xboard's debug log.

    xboard_game.py match  ENGINE --display N [--timeout S]
        two engine-against-engine games in one xboard run, colours alternating
    xboard_game.py person ENGINE --display N [--screenshot PNG] [--timeout S]
        a person (xdotool clicking squares) plays White against the engine
    xboard_game.py fault  ENGINE --display N --fault MODE --expect TEXT
        a match with a spoiled engine (broken_engine.py MODE); passes only
        when the referee fails it with a fault that contains TEXT

Every run has its own X display (N or the next free one), its own HOME, a
time bound, and ends its processes by their ids. Exits 77 (skipped) when
xboard, Xvfb or xdotool is missing.
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import pawnchess  # noqa: E402
import referee  # noqa: E402

SKIP = 77
SQUARE, GAP = 40, 1  # pixels; the board is 8 squares and 9 lines wide


def find_tool(name):
    return shutil.which(name) or shutil.which(name, path="/usr/games:/usr/local/games")


class Session:
    """One Xvfb and one xboard, with everything they need in a temporary
    directory."""

    def __init__(self, display, timeout):
        self.deadline = time.monotonic() + timeout
        self.dir = tempfile.mkdtemp(prefix="quillfen-xboard-")
        self.home = os.path.join(self.dir, "home")
        os.mkdir(self.home)
        self.log = os.path.join(self.dir, "debug.log")
        self.console = os.path.join(self.dir, "console.txt")
        self.xvfb = None
        self.xboard = None
        self.window = None
        self.display = self.start_xvfb(display)
        self.env = dict(os.environ, HOME=self.home, DISPLAY=f":{self.display}")
        self.env.pop("XAUTHORITY", None)

    def start_xvfb(self, first):
        for number in range(first, first + 40):
            if os.path.exists(f"/tmp/.X{number}-lock") or \
                    os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            proc = subprocess.Popen(
                [find_tool("Xvfb"), f":{number}", "-screen", "0", "800x600x24",
                 "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
            for _ in range(100):
                if proc.poll() is not None:
                    break
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.xvfb = proc
                    return number
                time.sleep(0.05)
            self.stop(proc)
        raise RuntimeError("no free X display")

    def start_xboard(self, args):
        with open(self.console, "w") as out:
            self.xboard = subprocess.Popen(
                [find_tool("xboard")] + [
                    "-variant", "alien",
                    "-testClaims", "false", "-checkMates", "false",
                    "-autoCallFlag", "true",
                    "-popupExitMessage", "false", "-startupMessage", "",
                    "-soundProgram", "", "-saveSettingsOnExit", "false",
                    "-size", str(SQUARE), "-overrideLineGap", str(GAP),
                    "-useBoardTexture", "false", "-showCoords", "true",
                    "-debug", "-nameOfDebugFile", self.log,
                    "-saveGameFile", os.path.join(self.dir, "games.pgn"),
                ] + args,
                cwd=self.dir, env=self.env, stdout=out, stderr=subprocess.STDOUT,
                start_new_session=True)

    def left(self):
        return self.deadline - time.monotonic()

    def wait_exit(self):
        """Waits for xboard to end by itself within the time bound."""
        try:
            return self.xboard.wait(timeout=max(self.left(), 0.1))
        except subprocess.TimeoutExpired:
            return None

    def read_log(self):
        try:
            with open(self.log, errors="replace") as f:
                return f.readlines()
        except FileNotFoundError:
            return []

    def read_console(self):
        with open(self.console, errors="replace") as f:
            return f.readlines()

    def xdo(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                              capture_output=True, text=True, timeout=20).stdout

    @staticmethod
    def stop(proc):
        """Ends a process started here, and its process group, by id."""
        if proc is None or proc.poll() is not None:
            return
        for sig, grace in ((signal.SIGTERM, 3), (signal.SIGKILL, 3)):
            try:
                os.killpg(proc.pid, sig)
            except ProcessLookupError:
                return
            try:
                proc.wait(timeout=grace)
                return
            except subprocess.TimeoutExpired:
                pass

    def close(self, keep=False):
        self.stop(self.xboard)
        self.stop(self.xvfb)
        if keep:
            print("files kept in", self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)


def judge(session, games):
    games_seen, faults = referee.referee(session.read_log(), session.read_console(), games)
    for g in games_seen:
        print(f"game {g.number}: {len(g.moves)} moves, White {g.moves[0][0] if g.moves else '-'},"
              f" result {g.result}: {' '.join(m for _, m in g.moves)}")
    for f in faults:
        print("FAULT:", f)
    return games_seen, faults


def run_match(session, engine_cmd, opponent_cmd, expect=None):
    session.start_xboard([
        "-fcp", engine_cmd, "-fd", session.dir, "-scp", opponent_cmd, "-sd", session.dir,
        "-matchMode", "true", "-matchGames", "2", "-timeControl", "0:10",
    ])
    if expect is None:
        return session.wait_exit()
    # A spoiled run may hang in a pop-up; it can stop as soon as the fault
    # has been seen, since the log and the console only grow.
    while session.left() > 0:
        try:
            return session.xboard.wait(timeout=0.5)
        except subprocess.TimeoutExpired:
            _, faults = referee.referee(session.read_log(), session.read_console(), 2)
            if any(expect in f for f in faults):
                return None
    return None


def board_origin(session):
    """The top-left corner of the board in screen pixels. The board fills the
    bottom of xboard's main window, centred with equal margins left, right
    and below."""
    if session.window is None:
        # Found by its first title; the title changes once the game starts.
        found = session.xdo("search", "--onlyvisible", "--name", "^xboard: ").split()
        if not found:
            return None, None
        session.window = found[0]
    geometry = dict(line.split("=", 1) for line in
                    session.xdo("getwindowgeometry", "--shell", session.window).split())
    x, y = int(geometry["X"]), int(geometry["Y"])
    w, h = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
    side = 8 * SQUARE + 9 * GAP
    margin = (w - side) // 2
    return session.window, (x + margin, y + h - side - margin)


def centre(origin, sq):
    file, rank = sq % 8, sq // 8
    return (origin[0] + GAP + file * (SQUARE + GAP) + SQUARE // 2,
            origin[1] + GAP + (7 - rank) * (SQUARE + GAP) + SQUARE // 2)


def run_person(session, engine_cmd, screenshot, seed=5):
    session.start_xboard(["-fcp", engine_cmd, "-fd", session.dir, "-timeControl", "0:30"])
    chooser = random.Random(seed)
    clicks = 0
    shot_taken = False
    while session.left() > 0:
        if session.xboard.poll() is not None:
            print("xboard ended during the game")
            return False
        lines = session.read_log()
        text = "".join(lines)
        if "<first : setup" not in text or "<first : pong" not in text:
            time.sleep(0.2)
            continue
        games, faults = referee.referee(lines, (), 1)
        game = games[-1] if games else None
        if game is None:
            time.sleep(0.2)
            continue
        if game.result:
            return True
        if game.outcome:
            time.sleep(0.2)  # the result line is on its way
            continue
        if game.board.side != pawnchess.WHITE:
            time.sleep(0.1)
            continue
        if screenshot and not shot_taken and len(game.moves) >= 12:
            window, _ = board_origin(session)
            time.sleep(0.5)  # let the engine's move finish its animation
            subprocess.run(["import", "-window", window, screenshot],
                           env=session.env, timeout=30, check=False)
            shot_taken = True
        frm, to = chooser.choice(game.board.legal_moves())
        done = len(game.moves)
        for attempt in range(3):
            window, origin = board_origin(session)
            if origin is None:
                time.sleep(0.5)
                continue
            for sq in (frm, to):
                # No --sync: it waits for the pointer to move, and it may
                # already be on the square.
                session.xdo("mousemove", *centre(origin, sq))
                time.sleep(0.05)
                session.xdo("click", "1")
                time.sleep(0.05)
            clicks += 1
            limit = time.monotonic() + 3
            while time.monotonic() < limit:
                now = referee.referee(session.read_log(), (), 1)[0]
                if now and len(now[-1].moves) > done:
                    break
                time.sleep(0.1)
            else:
                print(f"xboard did not take {pawnchess.move_text((frm, to))}, "
                      f"attempt {attempt + 1}")
                continue
            break
        else:
            return False
    print("time bound reached")
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=("match", "person", "fault"))
    parser.add_argument("engine")
    parser.add_argument("--display", type=int, default=90)
    parser.add_argument("--timeout", type=float, default=120)
    parser.add_argument("--screenshot")
    parser.add_argument("--fault")
    parser.add_argument("--expect")
    parser.add_argument("--keep", action="store_true", help="keep the run's files")
    args = parser.parse_args()

    missing = [t for t in ("xboard", "Xvfb", "xdotool") if not find_tool(t)]
    if args.mode == "person" and args.screenshot and not find_tool("import"):
        missing.append("import (ImageMagick)")
    if missing:
        print("SKIPPED: not installed:", ", ".join(missing))
        return SKIP

    engine = os.path.abspath(args.engine)
    session = Session(args.display, args.timeout)
    ok = False
    try:
        print(f"display :{session.display}, files in {session.dir}")
        if args.mode == "person":
            played = run_person(session, engine, args.screenshot)
            os.kill(session.xboard.pid, signal.SIGTERM)
            session.wait_exit()
            games, faults = judge(session, 1)
            ok = played and not faults
        else:
            first = engine
            if args.mode == "fault":
                first = f"{os.path.join(HERE, 'broken_engine.py')} {args.fault} {engine}"
            code = run_match(session, first, engine, args.expect)
            if code is None:
                print("xboard did not finish the match in time")
            games, faults = judge(session, 2)
            if args.mode == "match":
                ok = code == 0 and not faults
                if len(games) >= 2 and games[0].moves and games[1].moves and \
                        games[0].moves[0][0] == games[1].moves[0][0]:
                    print("FAULT: colours did not alternate")
                    ok = False
            else:
                ok = any(args.expect in f for f in faults)
                print("the referee", "caught" if ok else "missed", f"the fault {args.expect!r}")
    finally:
        session.close(keep=args.keep or not ok)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
