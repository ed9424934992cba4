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
    # The printer comes before the prefixes: a prefix made while the print scheduler is not
    # running never installs the printer driver, and every later printer fails with error 126.
    if [ -x /usr/sbin/cupsd ] && [ -x /usr/lib/cups/backend/cups-pdf ]; then
        "$here/pdf-printer.sh" start >/dev/null || echo "test-session.sh: no PDF printer" >&2
    fi
    wine_prefix_ready "$prefix" null
    if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
        mkdir -p "$build_dir/wine"
        Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        echo $! >"$build_dir/wine/xvfb.pid"
    fi
    # The display prefix binds to the display it first sees: it must answer before.
    for _ in $(seq 100); do
        xdpyinfo -display "$display" >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "test-session.sh: no display $display" >&2; exit 1; }
    DISPLAY=$display wine_prefix_ready "$prefix-x" x
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
