#!/usr/bin/env bash
# The WebAssembly build and its tests: Emscripten, Node.js with npm, and
# Chromium for the browser test; Playwright (playwright-core, which drives
# the system's Chromium and downloads no browser) from tests/web's lock file.
set -euo pipefail
need=()
command -v emcmake >/dev/null || need+=(emscripten)
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
[ -x /usr/bin/chromium ] || need+=(chromium)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
cd "$(dirname "$0")/../../tests/web"
npm ci --no-audit --no-fund --loglevel=error
