#!/bin/bash
# Runs benchmark programs under Wine in the build tree's test prefix and prints their figures.
# Usage: run-bench.sh BUILD_DIR PROGRAM...
set -e
here=$(cd "$(dirname "$0")" && pwd)
build_dir=$1
shift
trap '"$here/test-session.sh" stop "$build_dir"' EXIT
"$here/test-session.sh" start "$build_dir"
[ $# -gt 0 ] || echo "No benchmarks."
for program in "$@"; do
    echo "== $(basename "$program" .exe)"
    "$here/wine-exec.sh" --prefix "$build_dir/wine/test" "$program"
done
