#!/usr/bin/env bash
# With too little memory for the full table the engine halves it until it
# fits, says so once on a comment line, and still plays.
set -u
engine=$1
out=$( (ulimit -v 100000; printf 'xboard\nsd 3\ngo\nsd 3\ngo\nquit\n' | "$engine") 2>&1)
status=$?
fail() { echo "FAIL: $1"; echo "$out"; exit 1; }
[ $status -eq 0 ] || fail "exit status $status"
[ "$(grep -c '^# not enough memory for the full hash table: using [0-9]* entries$' <<<"$out")" -eq 1 ] ||
  fail "expected one notice of the smaller table"
[ "$(grep -c '^move ' <<<"$out")" -eq 2 ] || fail "expected two moves"
echo "ok"
