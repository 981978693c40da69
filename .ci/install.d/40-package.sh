#!/usr/bin/env bash
# The package tests: man for the manual pages, rsvg-convert for the logo,
# dpkg-dev's dpkg-shlibdeps for the package's Depends, and lintian.
set -euo pipefail
need=()
command -v man >/dev/null || need+=(man-db)
command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
command -v lintian >/dev/null || need+=(lintian)
command -v gzip >/dev/null || need+=(gzip)
# CPack finds the programs to give dpkg-shlibdeps with file.
command -v file >/dev/null || need+=(file)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
