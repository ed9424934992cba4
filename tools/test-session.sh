#!/bin/bash
# Starts or stops what a test run of a build tree needs: its Wine prefixes with one persistent
# wineserver each, and a virtual X display for the tests that need a notification area.
# Usage: test-session.sh start|stop BUILD_DIR
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
if [ $# -ne 2 ] || { [ "$1" != start ] && [ "$1" != stop ]; }; then
    echo "usage: test-session.sh start|stop BUILD_DIR" >&2
    exit 2
fi
mkdir -p "$2"
build_dir=$(cd "$2" && pwd) # Wine needs absolute prefix paths
prefix=$build_dir/wine/test
display=${KELVANE_TEST_DISPLAY:-:77}
case "$1" in
start)
    wine_prefix_ready "$prefix" null
    if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
        Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        echo $! >"$build_dir/wine/xvfb.pid"
        sleep 1
    fi
    DISPLAY=$display wine_prefix_ready "$prefix-x" x
    # The default printer "PDF" for the print tests, when CUPS and cups-pdf are installed.
    if [ -x /usr/sbin/cupsd ] && [ -x /usr/lib/cups/backend/cups-pdf ]; then
        "$here/pdf-printer.sh" start >/dev/null || echo "test-session.sh: no PDF printer" >&2
    fi
    wine_server_start "$prefix"
    wine_server_start "$prefix-x"
    ;;
stop)
    wine_server_stop "$prefix"
    wine_server_stop "$prefix-x"
    if [ -f "$build_dir/wine/xvfb.pid" ]; then
        kill "$(cat "$build_dir/wine/xvfb.pid")" 2>/dev/null || true
        rm -f "$build_dir/wine/xvfb.pid"
    fi
    ;;
esac
