#!/bin/bash
# axquota's command line against the quota service of this build: each case's exit code and the
# words its message must hold. Ambiguous or malformed input is refused with exit 2 and changes
# nothing; requests the service refuses are told in the administrator's words.
# Usage: axquota_command_line.sh WINEPREFIX AXSERVER_EXE AXPOLICY_EXE AXQUOTA_EXE
set -e
. "$(dirname "$0")/services_of_this_build.sh"

dir=$WINEPREFIX/drive_c/kelvane-test/data/options
folder='C:\kelvane-test\data\options'
mkdir -p "$dir"
echo text >"$dir/file.txt"
cleanup() {
    win "$axquota" delete "$folder" >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT
win "$axquota" set "$folder" 10MB -thresholds 90,50 >/dev/null

# exit code | words of the message | arguments
cases=(
    "2|not a size: 0x10MB|set $folder 0x10MB"
    "2|not a size: 1e3|set $folder 1e3"
    "2|not a size: 5BB|set $folder 5BB"
    "2|not a size: 1.3|set $folder 1.3"
    "2|give -owner|set $folder 1MB -group"
    "2|give -owner|set $folder 1MB -exclude"
    "2|highest first|set $folder 1MB -thresholds 50,90"
    "2|at most 255|set $folder 1MB -thresholds 300"
    "2|unknown or incomplete option -owner|set $folder 1MB -owner"
    "1|is a file|set $folder\\file.txt 1MB"
    "1|there is no folder|set $folder\\missing 1MB"
    "1|no account named|set $folder 1MB -owner NoSuchAccount"
    "1|has no quota for Guests|delete $folder -owner Guests"
    "1|has no quota of its own|delete $folder\\missing"
    "3|computer cannot be found|-s NOSUCHHOST list"
)
failures=0
for case in "${cases[@]}"; do
    IFS='|' read -r code words arguments <<<"$case"
    read -r -a words_of_arguments <<<"$arguments"
    set +e
    output=$(win "$axquota" "${words_of_arguments[@]}" 2>&1)
    status=$?
    set -e
    if [ "$status" != "$code" ] || [[ "$output" != *"$words"* ]]; then
        echo "FAILED: axquota $arguments: exit $status, expected $code with \"$words\": $output" >&2
        failures=$((failures + 1))
    fi
done
# Nothing above changed the quota.
win "$axquota" list | grep -q 'options .* 10.0 MB' || { echo "FAILED: the quota changed" >&2; failures=$((failures + 1)); }
cases_run=${#cases[@]}
echo "$((cases_run - failures)) passed, $failures failed"
[ "$failures" = 0 ]
