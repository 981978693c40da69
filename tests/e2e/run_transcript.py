#!/usr/bin/env python3
"""Feeds one transcript's input to the engine and compares its whole stdout.

A transcript file has two sections, each introduced by a marker line:

    --- input
    lines sent to the engine, each followed by a line feed
    --- output
    the expected standard output, each line followed by a line feed

Lines before the first marker are comments (and an optional "labels: ..."
line read by the build). In both sections these escapes are decoded:
\\\\ backslash, \\t tab, \\r carriage return, \\0 NUL, \\xHH any byte,
\\[N]c the character c repeated N times, and \\c at the very end of a line
to leave out its line feed (input that ends mid-line, output that ends with
the prompt).

Thinking lines "DEPTH SCORE TIME NODES moves..." are compared with TIME
replaced by "*", and the statistics line "# elapsed=E nodes=N nps=R ..."
with E and R replaced by "*"; the expected output writes "*" there. Every
other byte must match. The engine must also exit with status 0 and write
nothing to stderr.

usage: run_transcript.py ENGINE TRANSCRIPT [--record]
  --record prints the engine's normalised output as an output section
  instead of comparing; read it through before keeping it.
"""
import re
import subprocess
import sys

THINKING = re.compile(rb"^((?:Your move: )*)(\d+) (-?\d+) (-?\d+) (\d+)((?: \S+)*)$")
STATISTICS = re.compile(rb"^((?:Your move: )*)# elapsed=-?\d+ nodes=(\d+) nps=-?\d+ (.*)$")


def decode(line, where):
    out = bytearray()
    i = 0
    newline = True
    while i < len(line):
        c = line[i]
        if c != "\\":
            out += c.encode("utf-8")
            i += 1
            continue
        if i + 1 >= len(line):
            raise ValueError(f"{where}: lone backslash at end of line")
        e = line[i + 1]
        if e == "\\":
            out += b"\\"
            i += 2
        elif e == "t":
            out += b"\t"
            i += 2
        elif e == "r":
            out += b"\r"
            i += 2
        elif e == "0":
            out += b"\0"
            i += 2
        elif e == "x":
            out.append(int(line[i + 2:i + 4], 16))
            i += 4
        elif e == "[":
            close = line.index("]", i)
            count = int(line[i + 2:close])
            out += line[close + 1].encode("utf-8") * count
            i = close + 2
        elif e == "c" and i + 2 == len(line):
            newline = False
            i += 2
        else:
            raise ValueError(f"{where}: unknown escape \\{e}")
    if newline:
        out += b"\n"
    return bytes(out)


def load(path):
    sections = {}
    current = None
    with open(path, encoding="utf-8", newline="\n") as f:
        for number, raw in enumerate(f.read().split("\n")[:-1], 1):
            if raw in ("--- input", "--- output"):
                current = raw[4:]
                sections[current] = b""
            elif current is not None:
                sections[current] += decode(raw, f"{path}:{number}")
    if set(sections) != {"input", "output"}:
        raise ValueError(f"{path}: needs an input and an output section")
    return sections["input"], sections["output"]


def normalise(output):
    lines = output.split(b"\n")
    for n, line in enumerate(lines):
        m = THINKING.match(line)
        if m:
            lines[n] = b"%s%s %s * %s%s" % (m[1], m[2], m[3], m[5], m[6])
            continue
        m = STATISTICS.match(line)
        if m:
            lines[n] = b"%s# elapsed=* nodes=%s nps=* %s" % (m[1], m[2], m[3])
    return b"\n".join(lines)


def escape(data):
    """The output section that expects exactly these bytes."""
    out = []
    for line in data.split(b"\n"):
        text = ""
        for b in line:
            c = chr(b)
            if c == "\\":
                text += "\\\\"
            elif c == "\t":
                text += "\\t"
            elif c == "\r":
                text += "\\r"
            elif b < 32 or b > 126:
                text += "\\x%02x" % b
            else:
                text += c
        if text.endswith(" "):
            text = text[:-1] + "\\x20"
        out.append(text)
    if out[-1] == "":
        out.pop()
    else:
        out[-1] += "\\c"
    return "".join(l + "\n" for l in out)


def show(data):
    text = data.decode("utf-8", "backslashreplace")
    return "".join(f"    {l!r}\n" for l in text.splitlines(keepends=True))


def main():
    args = [a for a in sys.argv[1:] if a != "--record"]
    if len(args) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    engine, path = args
    script, expected = load(path)
    try:
        run = subprocess.run([engine], input=script, capture_output=True, timeout=120)
    except subprocess.TimeoutExpired as e:
        print(f"engine did not finish within 120 s; output so far:\n{show(e.stdout or b'')}")
        return 1
    actual = normalise(run.stdout)
    if "--record" in sys.argv:
        sys.stdout.write(escape(actual))
        print(f"(exit status {run.returncode}, stderr {run.stderr!r})", file=sys.stderr)
        return 0
    ok = True
    if run.returncode != 0:
        print(f"exit status {run.returncode}, expected 0")
        ok = False
    if run.stderr:
        print("stderr not empty:\n" + run.stderr.decode("utf-8", "backslashreplace"))
        ok = False
    if actual != expected:
        ok = False
        want, got = expected.splitlines(keepends=True), actual.splitlines(keepends=True)
        n = 0
        while n < min(len(want), len(got)) and want[n] == got[n]:
            n += 1
        print(f"stdout differs from line {n + 1} on")
        print("expected:\n" + show(b"".join(want[n:n + 12])))
        print("actual:\n" + show(b"".join(got[n:n + 12])))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
