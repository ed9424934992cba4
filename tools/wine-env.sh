# Shell functions for the Wine prefixes of a build tree. Sourced, not run.
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG="${WINEDEBUG:--all}"

# wine_prefix_ready DIR null|x: creates the prefix DIR on first use. A "null" prefix uses Wine's
# null display driver (windows exist and answer messages, nothing is drawn), so GUI programs run
# without any display; an "x" prefix draws on $DISPLAY.
wine_prefix_ready() {
    local dir=$1 kind=$2
    [ -f "$dir/.kelvane-ready" ] && return 0
    mkdir -p "$(dirname "$dir")"
    (
        flock 9
        [ -f "$dir/.kelvane-ready" ] && exit 0
        export WINEPREFIX=$dir WINEDLLOVERRIDES="mscoree,mshtml="
        wine64 wineboot -i >/dev/null 2>&1
        if [ "$kind" = null ]; then
            wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
        fi
        wineserver -k >/dev/null 2>&1 || true
        touch "$dir/.kelvane-ready"
    ) 9>"$dir.lock"
}

# wine_server_start DIR: keeps one wineserver alive for the prefix so that each program started
# in it does not pay Wine's cold start.
wine_server_start() {
    WINEPREFIX=$1 wineserver -p >/dev/null 2>&1 &
    # Start the prefix's own processes (services.exe and the like) now, detached from any caller's
    # output: started by a test instead, they would hold its output pipe open after it ends.
    WINEPREFIX=$1 wine64 wineboot >/dev/null 2>&1 </dev/null
}

# wine_server_stop DIR: ends the prefix's wineserver and every Wine process of it (services too).
wine_server_stop() {
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
}
