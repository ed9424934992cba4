#!/bin/bash
# Installs what is missing, builds Kelvane and runs its whole test suite under Wine.
# Exits non-zero when anything fails.
set -e
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KELVANE_BUILD_DIR:-$source_dir/build}
"$source_dir/tools/install-deps.sh"
"$source_dir/tools/build.sh" "$build_dir"
cmake --build "$build_dir" --target check -- --no-print-directory

# One persistent wineserver for the whole run: started before, stopped after, also on failure.
trap '"$source_dir/tools/test-session.sh" stop "$build_dir"' EXIT
"$source_dir/tools/test-session.sh" start "$build_dir"
cd "$build_dir"
# A test program that fails is run once more on its own, so that a Wine process dying at start-up
# (seen rarely, with no output at all) does not fail the suite; each such program is named at the
# end.
if ctest --output-on-failure --timeout 300 "$@"; then
    exit 0
fi
failed=$(sed -n 's/^[0-9]*:\(.*\)/\1/p' Testing/Temporary/LastTestsFailed.log | paste -sd, -)
echo "Running the failed tests again: $failed"
ctest --rerun-failed --output-on-failure --timeout 300 "$@"
echo "FLAKY (failed once, passed when run again): $failed"
