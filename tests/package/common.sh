# Shared by the package checks: sourced with BUILD, SOURCE and PYTHON set.
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIPPED: $*"; exit 77; }

# The expected file list for prefix $1 (absolute, no trailing slash).
expected_files() {
  sed -e '/^#/d' -e '/^$/d' "$SOURCE/tests/package/expected-files.txt" |
    while IFS= read -r line; do
      case $line in
        "logo: "*) [ -e "$BUILD/packaging/quillfen.png" ] || continue
                   line=${line#logo: } ;;
      esac
      printf '%s/%s\n' "$1" "$line"
    done | LC_ALL=C sort
}

# Compares the list of files (one a line, on stdin) with the expected one.
check_file_list() {
  what=$1 prefix=$2
  LC_ALL=C sort >"$work/found.txt"
  expected_files "$prefix" >"$work/expected.txt"
  if ! diff -u "$work/expected.txt" "$work/found.txt" >"$work/files.diff"; then
    cat "$work/files.diff"
    fail "$what: the file list differs from tests/package/expected-files.txt (- expected, + found)"
  fi
  echo "ok: $what: the expected $(wc -l <"$work/found.txt") files"
}

# One end-to-end transcript through engine $1.
run_transcript() {
  "$PYTHON" "$SOURCE/tests/e2e/run_transcript.py" "$1" \
    "$SOURCE/tests/e2e/scenarios/startup_xboard.txt" || fail "the transcript through $1"
  echo "ok: transcript startup_xboard through $1"
}

# The plugin file and the desktop entry point at the programs of prefix $1
# ($2: where those files are on disk, if not there).
check_references() {
  prefix=$1 root=${2:-$1}
  eng="$root/share/games/plugins/xboard/quillfen.eng"
  [ "$(sed -n 1p "$eng")" = "plugin spec 0.0" ] || fail "$eng: first line is not 'plugin spec 0.0'"
  [ "$(sed -n 2p "$eng")" = "$prefix/games/quillfen" ] || fail "$eng: engine line is '$(sed -n 2p "$eng")'"
  [ "$(sed -n 3p "$eng")" = "alien" ] || fail "$eng: variant line is '$(sed -n 3p "$eng")'"
  desktop="$root/share/applications/quillfen.desktop"
  grep -qx "Exec=$prefix/games/quillfen-xboard" "$desktop" || fail "$desktop: no Exec=$prefix/games/quillfen-xboard"
  if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail "$desktop: desktop-file-validate"
  fi
  echo "ok: plugin file and desktop entry name $prefix/games"
}
