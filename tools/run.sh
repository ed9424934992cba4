#!/bin/bash
# Installs what is missing, builds Kelvane, and starts the quota services under Wine in a run
# prefix of their own (build/wine/run, drawing on an X display), with a demo tree of department
# folders and quotas. Running it again leaves one set of demo quotas.
set -e
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KELVANE_BUILD_DIR:-$source_dir/build}
"$source_dir/tools/install-deps.sh"
"$source_dir/tools/build.sh" "$build_dir" Kelvane axserver axpolicy axquota
. "$source_dir/tools/wine-env.sh"

prefix=$build_dir/wine/run
virtual_display=
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=${KELVANE_RUN_DISPLAY:-:78}
    virtual_display=1
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
        Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        sleep 1
    fi
fi
wine_prefix_ready "$prefix" x
export WINEPREFIX=$prefix
# The services live as long as the prefix's wineserver: keep one running.
wine_server_start "$prefix"
win() { wine64 "$@" </dev/null; }

axserver=$build_dir/services/axserver.exe
axpolicy=$build_dir/services/axpolicy.exe
axquota=$build_dir/tools/axquota.exe
echo "Installing and starting the quota services in $prefix..."
win "$axserver" -install
win "$axpolicy" -install
win "$axserver" -start
win "$axpolicy" -start

echo "Installing the demo quota templates..."
"$source_dir/tools/seed-templates.sh" "$prefix"

# The demo tree: department folders whose files put each quota in a different state.
demo=$prefix/drive_c/Demo
write() { # write FILE BYTES: a file of exactly BYTES bytes
    mkdir -p "$(dirname "$demo/$1")"
    [ "$(stat -c %s "$demo/$1" 2>/dev/null)" = "$2" ] || head -c "$2" /dev/zero >"$demo/$1"
}
write Sales/Orders/2024.dat 600000;    write Sales/Leads.txt 372800             # 92.7 %
write Engineering/src/core.bin 500000; write Engineering/docs/design.txt 319200   # 78 %
write Marketing/Campaigns/spring.mov 650000; write Marketing/logo.png 16560     # 63.6 %
write Finance/Ledger/2024.db 400000;   write Finance/Budget.xls 91500           # 46.9 %
write Support/Tickets/open.log 300000; write Support/faq.txt 30000             # 31.5 %
write Legal/Contracts/nda.doc 100000                                            # 9.5 %
write Archive/old/backup.tar 1200000;  write Archive/old/photos.zip 372864      # 150 %
write Projects/alpha/plan.txt 250000;  write Projects/beta/design.bin 150000

user=$(whoami)
set_quota() { win "$axquota" set "$@" >/dev/null; }
steps="-thresholds 90,75,60,45,30"
for department in Sales Engineering Marketing Finance Support Legal Archive Projects; do
    set_quota "C:\\Demo\\$department" 1MB $steps
done
set_quota 'C:\Demo\Sales' 2MB -owner "$user" $steps
set_quota 'C:\Demo\Engineering' 512KB -owner 'BUILTIN\Users' -group $steps
set_quota 'C:\Demo\Marketing' 512KB -owner 'NT AUTHORITY\Authenticated Users' -global-group $steps
set_quota 'C:\Demo\Projects' 1MB -owner "$user" -exclude $steps
# Legal (9.5 %) gets the policy service's demonstration actions at 50 % (see the README).
mkdir -p "$demo/Policy"
win "$axquota" apply-template 'Policy Demo' 'C:\Demo\Legal' >/dev/null

sleep 1 # let the first scans finish
echo
win "$axquota" list
echo
if win "$axserver" -status; then
    echo
    echo "Both services run in $prefix; its wineserver keeps them running."
    echo "axquota:  WINEPREFIX=$prefix wine64 $axquota --help"
    echo "Template: WINEPREFIX=$prefix wine64 $axquota apply-template 'Home Folders' 'C:\\Demo\\Legal'"
    echo "Stop all: WINEPREFIX=$prefix wineserver -k"
else
    echo "The quota services are not running as they should (see above)." >&2
    exit 1
fi

# The console, in a Wine desktop with a taskbar and notification area. A console that already
# runs is shown instead of a second one.
echo
echo "Starting the console..."
wine64 explorer /desktop=Kelvane,1280x900 "$build_dir/app/Kelvane.exe" </dev/null >/dev/null 2>&1 &
if [ -n "$virtual_display" ]; then
    sleep 15
    shot=$build_dir/kelvane-console.png
    import -display "$DISPLAY" -window root "$shot"
    echo "No DISPLAY was set: the console runs on the virtual display $DISPLAY."
    echo "Screenshot of it: $shot"
else
    echo "The console opens on $DISPLAY in a Wine desktop named Kelvane."
fi
echo "Closing the console's window leaves it in the notification area; the tray icon's menu"
echo "(right click) has Exit, which ends it."
