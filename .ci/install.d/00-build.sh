#!/usr/bin/env bash
# The compiler, CMake and GoogleTest.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -e /usr/lib/x86_64-linux-gnu/cmake/GTest ] || [ -e /usr/lib/cmake/GTest ] || need+=(libgtest-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq "${need[@]}"
fi
