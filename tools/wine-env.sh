# Shell functions for the Wine prefixes of a build tree. Sourced, not run.
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG="${WINEDEBUG:--all}"

# wine_prefix_ready DIR null|x: creates the prefix DIR on first use. A "null" prefix uses Wine's
# null display driver (windows exist and answer messages, nothing is drawn), so GUI programs run
# without any display; an "x" prefix draws on $DISPLAY.
wine_prefix_ready() {
    local dir=$1 kind=$2
    if [ ! -f "$dir/.kelvane-ready" ]; then
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
    fi
    if [ "$kind" = x ]; then
        wine_fonts_ready "$dir"
    fi
}

# wine_fonts_ready DIR: Wine's own fonts (package fonts-wine: Tahoma, MS Sans Serif, and Marlett,
# which draws the caption buttons) in the prefix's Fonts folder. This Wine does not look for them
# where fonts-wine puts them: without the copies captions show an "r" for their close button.
wine_fonts_ready() {
    local fonts=/usr/share/wine/fonts target=$1/drive_c/windows/Fonts
    if [ -d "$fonts" ] && [ -d "$target" ] && [ ! -f "$target/marlett.ttf" ]; then
        cp "$fonts"/*.ttf "$target/" 2>/dev/null || true
    fi
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
