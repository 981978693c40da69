#!/bin/sh
# The Debian package: cpack -G DEB in the build folder, lintian without
# errors, its file list, then dpkg -i, one transcript through the quillfen
# found on PATH in /usr/games, and dpkg -r leaving nothing behind.
#   check-deb.sh BUILD_DIR SOURCE_DIR PYTHON3
# Skipped (77) without cpack, dpkg-deb, dpkg-shlibdeps or lintian, when not
# root, or when a quillfen package is installed already (it is left alone).
BUILD=$1 SOURCE=$2 PYTHON=$3
. "$SOURCE/tests/package/common.sh"
[ -x "$PYTHON" ] || skip "python3 not found"
for tool in cpack dpkg dpkg-deb dpkg-shlibdeps file lintian; do
  command -v $tool >/dev/null 2>&1 || skip "$tool not installed (.ci/install.d/40-package.sh installs it)"
done
[ "$(id -u)" -eq 0 ] || skip "dpkg -i needs root"
if dpkg-query -W -f '${Status}' quillfen 2>/dev/null | grep -q installed; then
  skip "a quillfen package is installed already; not touching it"
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-deb.XXXXXX") || exit 1
removed=no
cleanup() {
  if [ $removed = no ] && dpkg-query -W quillfen >/dev/null 2>&1; then
    dpkg -r quillfen >/dev/null 2>&1
  fi
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$BUILD" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work/out"/quillfen_*.deb 2>/dev/null)
[ -f "$deb" ] || { cat "$work/cpack.log"; fail "cpack made no quillfen_*.deb"; }
echo "ok: built $(basename "$deb")"

dpkg-deb -f "$deb" Section | grep -qx games || fail "Section is not games"
dpkg-deb -f "$deb" Recommends | grep -qw xboard || fail "no Recommends: xboard"
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "no shared-library Depends (dpkg-shlibdeps)"

# lintian's errors fail (its exit status 1); its warnings and notes are shown.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>"$work/lintian.err"
status=$?
sed 's/^/  lintian: /' "$work/lintian.txt"
grep -q '^E:' "$work/lintian.txt" && fail "lintian reports errors"
[ $status -eq 0 ] || { cat "$work/lintian.err"; fail "lintian exited with $status"; }
echo "ok: lintian reports no errors"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./|/|' |
  check_file_list "dpkg -c" /usr
# The manual pages are compressed as Debian wants: gzip -9 without a name
# or a time stamp.
dpkg-deb -x "$deb" "$work/root"
for page in "$work/root/usr/share/man/man6/"*.gz "$work/root/usr/share/doc/quillfen/changelog.gz"; do
  gzip -t "$page" || fail "$page is not gzip data"
  [ "$(od -An -tu1 -j4 -N4 "$page" | tr -d ' ')" = 0000 ] || fail "$page has a time stamp"
  [ "$(od -An -tu1 -j3 -N1 "$page" | tr -d ' ')" = 0 ] || fail "$page keeps its file name"
done
echo "ok: manual pages and changelog compressed without name or time stamp"
check_references /usr "$work/root/usr"

dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
dpkg -L quillfen >"$work/installed.txt" || fail "dpkg -L after dpkg -i"
engine=$(PATH=/usr/games:$PATH command -v quillfen)
[ "$engine" = /usr/games/quillfen ] || fail "quillfen on PATH is '$engine', not /usr/games/quillfen"
# By its bare name, as a GUI's engine line names it.
PATH=/usr/games:$PATH run_transcript quillfen
[ -x /usr/games/quillfen-xboard ] || fail "/usr/games/quillfen-xboard not installed executable"

dpkg -r quillfen >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
removed=yes
if dpkg-query -W -f '${Status}' quillfen 2>/dev/null | grep -q installed; then
  fail "quillfen still installed after dpkg -r"
fi
left=
while IFS= read -r path; do
  [ -f "$path" ] || [ -L "$path" ] || continue
  left="$left $path"
done <"$work/installed.txt"
[ -z "$left" ] || fail "dpkg -r left:$left"
echo "ok: dpkg -i, the engine on PATH, dpkg -r leaving none of its files"
exit 0
