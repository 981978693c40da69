#!/usr/bin/env python3
"""Two engine-against-engine games through the installed launcher, in the
real xboard under Xvfb, judged by the GUI suite's referee.

    launcher_game.py BUILD_DIR [--display N] [--timeout S]

Installs the build into a temporary prefix with cmake --install, then starts
PREFIX/games/quillfen-xboard (which names the engine beside it as the first
engine) with the installed engine as the second one in match mode. Passes
when xboard ends the match by itself and the referee finds no fault; exits
77 (skipped) when xboard, Xvfb or xdotool is missing.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "gui"))
import xboard_game  # noqa: E402

SKIP = 77


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--display", type=int, default=181)
    parser.add_argument("--timeout", type=float, default=150)
    args = parser.parse_args()

    missing = [t for t in ("xboard", "Xvfb", "xdotool") if not xboard_game.find_tool(t)]
    if missing:
        print("SKIPPED: not installed:", ", ".join(missing))
        return SKIP

    prefix = tempfile.mkdtemp(prefix="quillfen-launcher-")
    session = None
    ok = False
    try:
        subprocess.run(["cmake", "--install", args.build, "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL, timeout=60)
        launcher = os.path.join(prefix, "games", "quillfen-xboard")
        engine = os.path.join(prefix, "games", "quillfen")
        session = xboard_game.Session(args.display, args.timeout)
        print(f"display :{session.display}, files in {session.dir}")
        # The session's own xboard options, less the ones the launcher must
        # give itself; the program started is the launcher, not xboard.
        real_xboard = xboard_game.find_tool("xboard")
        env = dict(session.env, XBOARD=real_xboard)
        session.env = env
        session_args = [
            "-popupExitMessage", "false", "-startupMessage", "",
            "-soundProgram", "", "-saveSettingsOnExit", "false",
            "-debug", "-nameOfDebugFile", session.log,
            "-saveGameFile", os.path.join(session.dir, "games.pgn"),
            "-scp", engine, "-sd", session.dir, "-fd", session.dir,
            "-matchMode", "true", "-matchGames", "2", "-timeControl", "0:10",
        ]
        with open(session.console, "w") as out:
            session.xboard = subprocess.Popen(
                [launcher] + session_args, cwd=session.dir, env=env,
                stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        code = session.wait_exit()
        if code is None:
            print("xboard did not finish the match in time")
        log = "".join(session.read_log())
        # The first engine is the one the launcher named: the installed one.
        if f"{engine}" not in log:
            print("FAULT: the debug log never names the installed engine", engine)
            code = None
        games, faults = xboard_game.judge(session, 2)
        ok = code == 0 and not faults and len(games) == 2
    finally:
        if session is not None:
            session.close(keep=not ok)
        shutil.rmtree(prefix, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
