#!/bin/bash
# Installs what is missing, builds Kelvane and starts it under Wine.
set -e
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KELVANE_BUILD_DIR:-$source_dir/build}
"$source_dir/tools/install-deps.sh"
"$source_dir/tools/build.sh" "$build_dir"
echo
echo "Built in $build_dir:"
find "$build_dir" -maxdepth 3 -name '*.exe' -not -path '*/tests/*' -printf '  %P\n' | sort
echo "The quota services and the console are not part of this build yet."
