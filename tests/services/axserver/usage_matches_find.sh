#!/bin/bash
# Compares the usage the quota service reports for a folder with an independent count of the
# same folder on its Linux path: the sum of the file sizes that find lists.
# Usage: usage_matches_find.sh WINEPREFIX AXSERVER_EXE AXPOLICY_EXE AXQUOTA_EXE
set -e
. "$(dirname "$0")/services_of_this_build.sh"

folder='C:\kelvane-test\data\findcheck'
dir=$WINEPREFIX/drive_c/kelvane-test/data/findcheck
rm -rf "$dir"
mkdir -p "$dir/a/b/c" "$dir/with space" "$dir/empty"
head -c 123457 /dev/urandom >"$dir/one.bin"
head -c 1 /dev/urandom >"$dir/a/tiny"
: >"$dir/a/zero"
head -c 65536 /dev/urandom >"$dir/a/b/c/deep.bin"
head -c 777 /dev/urandom >"$dir/with space/named file.txt"
for i in $(seq 1 200); do head -c $((i * 13)) /dev/zero >"$dir/a/b/f$i"; done

expected() { find "$dir" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }

# Waits until the object's own record shows the expected bytes with no scan pending.
wait_for_usage() {
    local want=$1 got=""
    for _ in $(seq 1 100); do
        got=$(win "$axquota" list -bytes | tr -d '\r' |
            F=$folder awk '$1 == ENVIRON["F"] && $2 == "(object)" && $NF == "ok" {print $3}')
        [ "$got" = "$want" ] && return 0
        sleep 0.1
    done
    echo "usage of $folder: service says '${got:-nothing}', find counts $want" >&2
    return 1
}

trap 'win "$axquota" delete "$folder" >/dev/null 2>&1 || true; rm -rf "$dir"' EXIT
win "$axquota" set "$folder" 10G >/dev/null
wait_for_usage "$(expected)"
echo "initial scan matches find: $(expected) bytes"

# A file written afterwards reaches the usage through the folder watcher.
head -c 100001 /dev/urandom >"$dir/a/b/later.bin"
wait_for_usage "$(expected)"
echo "after a write the usage matches find: $(expected) bytes"
