# Sourced by the shell tests of the services: takes WINEPREFIX AXSERVER_EXE AXPOLICY_EXE
# AXQUOTA_EXE as $1 to $4, defines win (a Windows program of the prefix) and installs and starts
# the services of this build as the other service tests install them.
export WINEPREFIX=$1 PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
axserver=$2 axpolicy=$3 axquota=$4
win() { wine64 "$@" </dev/null; }

win "$axpolicy" -stop >/dev/null 2>&1 || true
win "$axserver" -stop >/dev/null 2>&1 || true
win "$axserver" -install -store 'C:\kelvane-test\store' >/dev/null
win "$axpolicy" -install >/dev/null
win "$axserver" -start
win "$axpolicy" -start
