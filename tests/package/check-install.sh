#!/bin/sh
# cmake --install into a temporary prefix, as a user installs into
# ~/.local: the file list, the plugin file and the desktop entry, one
# transcript through the installed engine, and the installed launcher.
#   check-install.sh BUILD_DIR SOURCE_DIR PYTHON3
BUILD=$1 SOURCE=$2 PYTHON=$3
. "$SOURCE/tests/package/common.sh"
[ -x "$PYTHON" ] || skip "python3 not found"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-install.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$BUILD" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
find "$prefix" -type f -o -type l | check_file_list "cmake --install" "$prefix"
check_references "$prefix"
for program in quillfen quillfen-tool quillfen-xboard; do
  [ -x "$prefix/games/$program" ] || fail "$program is not executable"
done
run_transcript "$prefix/games/quillfen"
"$prefix/games/quillfen-tool" perft "8/pppppppp/8/8/8/8/PPPPPPPP/8 w - - 0 1" 2 | head -1 |
  grep -qx 256 || fail "the installed quillfen-tool: perft 2 of the start is not 256"
"$prefix/games/quillfen-tool" perft "8/8/8/8/8/8/8/8 w - - 0 1" x 2>/dev/null
[ $? -eq 2 ] || fail "the installed quillfen-tool: bad input does not exit 2"
echo "ok: the installed quillfen-tool"

# The launcher, with a stand-in for xboard that records its arguments and
# asks the engine it was given for its features.
cat >"$work/fake-xboard" <<'FAKE'
#!/bin/sh
for arg in "$@"; do printf '%s\n' "$arg"; done >"$FAKE_ARGS"
[ "$1" = -fcp ] || exit 9
printf 'xboard\nprotover 2\nquit\n' | "$2" >"$FAKE_ENGINE_OUT"
exit 3
FAKE
chmod +x "$work/fake-xboard"
mkdir "$work/bin dir"
# Through a symbolic link elsewhere, the launcher still finds its own engine.
ln -s "$prefix/games/quillfen-xboard" "$work/bin dir/qx"
export FAKE_ARGS="$work/args.txt" FAKE_ENGINE_OUT="$work/engine.txt"
for launcher in "$prefix/games/quillfen-xboard" "$work/bin dir/qx"; do
  rm -f "$FAKE_ARGS" "$FAKE_ENGINE_OUT"
  XBOARD="$work/fake-xboard" "$launcher" -tc 1 -inc 2 "two words"
  status=$?
  [ $status -eq 3 ] || fail "$launcher: exit status $status, not xboard's 3"
  printf '%s\n' -fcp "$prefix/games/quillfen" -variant alien -testLegality true \
    -testClaims false -checkMates false -autoCallFlag true -tc 1 -inc 2 "two words" \
    >"$work/want-args.txt"
  diff -u "$work/want-args.txt" "$FAKE_ARGS" || fail "$launcher: xboard's arguments (- expected, + given)"
  grep -q '^feature done=1$' "$FAKE_ENGINE_OUT" || fail "$launcher: the engine it names did not answer protover"
  echo "ok: $launcher starts xboard with the engine beside it"
done

out=$(XBOARD="$work/no-such-xboard" "$prefix/games/quillfen-xboard" 2>&1)
status=$?
[ $status -eq 1 ] || fail "without xboard: exit status $status, not 1"
case $out in
  *"apt-get install xboard"*) echo "ok: without xboard the launcher says how to install it" ;;
  *) fail "without xboard the launcher said: $out" ;;
esac
exit 0
