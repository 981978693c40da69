#!/usr/bin/env bash
# The GUI tests: xboard under a virtual X server, driven by xdotool, with
# xwininfo for window geometry, ImageMagick for the screenshot and Python 3
# for the referee.
set -euo pipefail
need=()
command -v xboard >/dev/null || [ -x /usr/games/xboard ] || need+=(xboard)
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v xwininfo >/dev/null || need+=(x11-utils)
command -v import >/dev/null || need+=(imagemagick)
command -v python3 >/dev/null || need+=(python3)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
