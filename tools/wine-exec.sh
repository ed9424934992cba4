#!/bin/bash
# Runs a Windows program under Wine in a prefix of the build tree, creating the prefix on first use.
# Usage: wine-exec.sh --prefix DIR PROGRAM [ARGS...]
# With KELVANE_WINE_DISPLAY=:N set, the program runs in DIR's twin prefix DIR-x and draws on
# that X display (tests that need the notification area); otherwise it runs headless.
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
[ "$1" = --prefix ] || { echo "usage: wine-exec.sh --prefix DIR PROGRAM [ARGS...]" >&2; exit 2; }
prefix=$2
shift 2
if [ -n "${KELVANE_WINE_DISPLAY:-}" ]; then
    export DISPLAY=$KELVANE_WINE_DISPLAY
    prefix=$prefix-x
    wine_prefix_ready "$prefix" x
else
    wine_prefix_ready "$prefix" null
fi
export WINEPREFIX=$prefix
exec wine64 "$@"
