#!/usr/bin/env python3
"""Runs the engine as a child and spoils its output in one way, so that the
GUI tests can show that the referee notices. Usage:
    broken_engine.py MODE ENGINE
MODE is one of
    illegal  the engine's third move is replaced by an illegal one
    suffix   the engine's third move gets a promotion suffix
    die      the engine exits just before its third move
    late     after the engine's result line it sends one more move
    setup    the set-up line names the plain 8x8+0 parent
"""
import os
import subprocess
import sys
import threading


def main():
    mode, engine = sys.argv[1], sys.argv[2]
    child = subprocess.Popen([engine], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, bufsize=0)

    def forward_input():
        for line in sys.stdin.buffer:
            try:
                child.stdin.write(line)
                child.stdin.flush()
            except BrokenPipeError:
                break
        try:
            child.stdin.close()
        except BrokenPipeError:
            pass

    threading.Thread(target=forward_input, daemon=True).start()
    out = sys.stdout.buffer
    moves = 0
    for raw in child.stdout:
        line = raw.decode(errors="replace").rstrip("\n")
        if line.startswith("move "):
            moves += 1
            if moves == 3:
                if mode == "illegal":
                    line = "move a1a8"
                elif mode == "suffix":
                    line += "q"
                elif mode == "die":
                    child.kill()
                    os._exit(0)
        elif mode == "setup" and line.startswith("setup "):
            line = line.replace("8x8+0_fairy", "8x8+0")
        out.write((line + "\n").encode())
        out.flush()
        if mode == "late" and line[:3] in ("1-0", "0-1", "1/2"):
            out.write(b"move a2a3\n")
            out.flush()
    child.wait()


if __name__ == "__main__":
    main()
