#!/bin/bash
# "axquota list -csv" read back by a CSV parser: a header, one record per quota with byte counts
# and percentages as numbers, and an object name with a comma kept whole.
# Usage: axquota_csv.sh WINEPREFIX AXSERVER_EXE AXPOLICY_EXE AXQUOTA_EXE
set -e
. "$(dirname "$0")/services_of_this_build.sh"

dir=$WINEPREFIX/drive_c/kelvane-test/data/csv
plain='C:\kelvane-test\data\csv\plain'
comma='C:\kelvane-test\data\csv\a, b'
mkdir -p "$dir/plain" "$dir/a, b"
head -c 262144 /dev/zero >"$dir/plain/quarter.bin"
cleanup() {
    win "$axquota" delete "$plain" >/dev/null 2>&1 || true
    win "$axquota" delete "$comma" >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT
win "$axquota" set "$plain" 1MB >/dev/null
win "$axquota" scan "$plain" >/dev/null
win "$axquota" set "$comma" 2MB >/dev/null

for _ in $(seq 50); do
    win "$axquota" list -csv >"$dir.csv"
    grep -q 'plain,,262144,' "$dir.csv" && break
    sleep 0.2
done
python3 - "$dir.csv" "$plain" "$comma" <<'PYTHON'
import csv, sys
path, plain, comma = sys.argv[1:]
raw = open(path, "rb").read()
assert b"\r\n" in raw and raw.count(b"\n") == raw.count(b"\r\n"), "lines must end in CR LF"
rows = list(csv.DictReader(open(path, newline="")))
header = ["Object", "Owner", "Used Bytes", "Quota", "Quota Unit", "Percent Used",
          "High Water Bytes", "Overdraft Bytes", "Status"]
assert list(rows[0].keys()) == header, rows[0].keys()
by_object = {row["Object"]: row for row in rows}
row = by_object[plain]
assert (row["Used Bytes"], row["Quota"], row["Quota Unit"], row["Percent Used"]) == \
    ("262144", "1048576", "bytes", "25"), row
assert row["Owner"] == "" and row["Status"] == "ok", row
assert by_object[comma]["Quota"] == "2097152", by_object.keys()
for row in rows:
    int(row["Used Bytes"]), int(row["High Water Bytes"]), int(row["Overdraft Bytes"])
print(len(rows), "quotas read back")
PYTHON
