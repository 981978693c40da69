#!/usr/bin/env bash
# Python 3 for the end-to-end transcript runner.
set -euo pipefail
if ! command -v python3 >/dev/null; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends python3
fi
