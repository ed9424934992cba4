#!/bin/bash
# Configures and builds Kelvane into BUILD_DIR (default: build): every target, or the TARGETs named.
# Usage: build.sh [BUILD_DIR [TARGET...]]
set -e
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build}
shift || true
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}" -- --no-print-directory
