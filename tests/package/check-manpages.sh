#!/bin/sh
# The manual pages render with man without a single warning.
#   check-manpages.sh PAGE...
# Exits 77 (skipped) when man is not installed.
command -v man >/dev/null 2>&1 || { echo "SKIPPED: man not installed (apt-get install man-db)"; exit 77; }
status=0
for page in "$@"; do
  if [ ! -s "$page" ]; then
    echo "FAIL: $page is missing or empty"
    status=1
    continue
  fi
  # MANROFFSEQ='' keeps man from running the page's preprocessors; the
  # width fixes the line breaks and so the warnings about them.
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page:"
    printf '%s\n' "$warnings" | sed 's/^/  /'
    status=1
  elif [ "$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | wc -l)" -lt 10 ]; then
    echo "FAIL: $page renders to almost nothing"
    status=1
  else
    echo "ok: $page"
  fi
done
exit $status
