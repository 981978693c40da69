#!/usr/bin/env bash
# clang with its sanitizer and libFuzzer runtimes, for the line fuzzer.
set -euo pipefail
need=()
command -v clang++-14 >/dev/null || need+=(clang-14)
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
  need+=(libclang-rt-14-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq "${need[@]}"
fi
