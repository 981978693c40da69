"""One engine process driven over the xboard protocol with timed reads, for
the timing tests. Lines are read straight from the pipe with select(), so a
measured answer time is the engine's plus a few tens of microseconds.

The rules module tools/pawnchess.py comes onto the module path from here.
"""

import os
import select
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))


class NoAnswer(Exception):
    """The engine gave no awaited line by the deadline, or its output ended."""


class EngineProcess:
    def __init__(self, path):
        self.stderr = tempfile.TemporaryFile()
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.stderr, bufsize=0)
        self.buffer = b""
        self.ping_id = 0

    def send(self, text):
        """Writes the text and returns the moment it was written."""
        self.proc.stdin.write(text.encode())
        return time.perf_counter()

    def read_line(self, deadline):
        """The next line and the moment it arrived."""
        while b"\n" not in self.buffer:
            wait = deadline - time.perf_counter()
            if wait <= 0:
                raise NoAnswer("no output line in time")
            ready, _, _ = select.select([self.proc.stdout], [], [], wait)
            if not ready:
                continue
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise NoAnswer(f"output ended (exit status {self.proc.wait()})")
            self.buffer += chunk
        arrived = time.perf_counter()
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("utf-8", "replace"), arrived

    def read_until(self, prefix, deadline):
        """Reads up to the first line that starts with prefix; returns that
        line, the moment it arrived and the lines before it."""
        before = []
        while True:
            line, arrived = self.read_line(deadline)
            if line.startswith(prefix):
                return line, arrived, before
            before.append(line)

    def sync(self, timeout):
        """Sends a ping and waits for its pong: the engine has then read and
        carried out every line sent before it."""
        self.ping_id += 1
        self.send(f"ping {self.ping_id}\n")
        self.read_until(f"pong {self.ping_id}", time.perf_counter() + timeout)

    def close(self, timeout=10):
        """Quits the engine (killing it if it does not go) and returns its
        exit status and standard error; a killed engine's status is None."""
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.close()
        except OSError:
            pass
        try:
            status = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            status = None
        self.proc.stdout.close()
        self.stderr.seek(0)
        errors = self.stderr.read().decode("utf-8", "replace")
        self.stderr.close()
        return status, errors


def close_with_fault(engine, fault):
    """Closes the engine and returns the run's fault: the one already seen,
    else a nonzero exit status, else the first line on standard error."""
    status, errors = engine.close(timeout=2 if fault else 10)
    if fault is None and status != 0:
        fault = f"exit status {status}"
    if fault is None and errors.strip():
        fault = "standard error: " + errors.strip().splitlines()[0]
    return fault
