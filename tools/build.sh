#!/usr/bin/env bash
# Configures and builds one build tree:
#   tools/build.sh [--target NAME]... DIR [cmake options...]
# Every target by default; with --target, only those (and what they need).
set -euo pipefail
targets=()
while [[ ${1-} == --target ]]; do
    targets+=(--target "${2:?--target needs a name}")
    shift 2
done
dir=$1
shift
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
