#!/bin/bash
# Applies quota templates from the registry of the test prefix to folders through axquota and
# the quota service of this build, and reads the result back with "axquota list": a template
# creates a missing quota and changes an existing one; a bad template, object or service is
# reported with its exit code and changes nothing.
# Usage: axquota_apply_template.sh WINEPREFIX AXSERVER_EXE AXPOLICY_EXE AXQUOTA_EXE
set -e
export WINEPREFIX=$1 PATH="/usr/lib/wine:$PATH" WINEDEBUG=-all
axserver=$2 axpolicy=$3 axquota=$4
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
win() { wine64 "$@" </dev/null; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

start_services() {
    win "$axserver" -start
    win "$axpolicy" -start
}
stop_services() {
    win "$axpolicy" -stop >/dev/null 2>&1 || true
    win "$axserver" -stop >/dev/null 2>&1 || true
}
# The services of this build, installed as the other service tests install them.
stop_services
win "$axserver" -install -store 'C:\kelvane-test\store' >/dev/null
win "$axpolicy" -install >/dev/null
start_services

templates='HKLM\Software\Ostrel\Allotrix\Templates'
fallbacks='HKLM\SYSTEM\CurrentControlSet\Services\AxFilter\Parameters'
remove_templates() { # the Templates key itself stays, as the installation made it
    win reg delete "$templates" /f >/dev/null 2>&1 || true
    win reg add "$templates" /f >/dev/null 2>&1
    win reg delete "$fallbacks\\<User Fallback>" /f >/dev/null 2>&1 || true
    win reg delete "$fallbacks\\<Directory Fallback>" /f >/dev/null 2>&1 || true
}
remove_templates
"$source_dir/tools/seed-templates.sh" "$WINEPREFIX" >/dev/null
# A template of this test: a 3 MB quota and a first threshold, the overdraft left alone.
win reg add "$templates\\Axquota Test" /v TemplateFlags /t REG_DWORD /d 0x800 /f >/dev/null
win reg add "$templates\\Axquota Test\\Quota" /v PermQuota /d 3145728 /f >/dev/null
win reg add "$templates\\Axquota Test\\Threshold1" /v Threshold /t REG_DWORD /d 95 /f >/dev/null

root='C:\kelvane-test\data'
dir=$WINEPREFIX/drive_c/kelvane-test/data
new=$root'\apply-new' changed=$root'\apply-changed' untouched=$root'\apply-untouched'
user=$(whoami)
errors=$(mktemp)
cleanup() {
    start_services >/dev/null 2>&1 || true
    for folder in "$new" "$changed" "$untouched"; do
        win "$axquota" delete "$folder" >/dev/null 2>&1 || true
        win "$axquota" delete "$folder" -owner "$user" >/dev/null 2>&1 || true
    done
    rm -rf "$dir/apply-new" "$dir/apply-changed" "$dir/apply-untouched"
    remove_templates
    rm -f "$errors"
}
trap cleanup EXIT
mkdir -p "$dir/apply-new" "$dir/apply-changed" "$dir/apply-untouched"

# The quota column (exact bytes) of the quota of OBJECT and OWNER ("(object)" for its own); the
# service lists an owner by the account's full name ("COMPUTER\user").
quota_of() {
    win "$axquota" list -bytes | tr -d '\r' |
        O=$1 W=$2 awk '$1 == ENVIRON["O"] && ($2 == ENVIRON["W"] ||
            substr($2, length($2) - length(ENVIRON["W"])) == "\\" ENVIRON["W"]) {print $4}'
}
# The quotas of the test's folders as "axquota list -bytes" shows them (usage left out).
our_quotas() {
    win "$axquota" list -bytes | tr -d '\r' | grep -F 'apply-' | awk '{print $1, $2, $4}'
}
expect_quota() { # expect_quota OBJECT OWNER BYTES
    local got
    got=$(quota_of "$1" "$2")
    [ "$got" = "$3" ] || fail "quota of $1 for $2 is '${got:-none}', expected $3"
}
# Runs axquota, expecting exit code WANT and a message containing TEXT on the error output.
expect_failure() { # expect_failure WANT TEXT ARGUMENTS...
    local want=$1 text=$2 rc=0
    shift 2
    win "$axquota" "$@" >/dev/null 2>"$errors" || rc=$?
    [ "$rc" = "$want" ] || fail "axquota $* exited with $rc, expected $want"
    grep -qF "$text" "$errors" ||
        fail "axquota $* said '$(cat "$errors")', expected '$text'"
}

win "$axquota" set "$changed" 1MB -thresholds 90,75 >/dev/null
expect_quota "$changed" '(object)' 1048576
[ -z "$(quota_of "$new" '(object)')" ] || fail "$new has a quota before the test"

# A seeded template creates the missing quota of a folder.
win "$axquota" apply-template 'Home Folders' "$new" | tr -d '\r' | grep -qF 'Home Folders' ||
    fail "apply-template did not confirm"
expect_quota "$new" '(object)' 104857600
echo "a template created the quota of $new: 104857600 bytes"

# The test's own template changes an existing quota; a fallback template creates an owner's.
win "$axquota" apply-template 'Axquota Test' "$changed" >/dev/null
expect_quota "$changed" '(object)' 3145728
win "$axquota" apply-template '<user fallback>' "$changed" -owner "$user" >/dev/null
expect_quota "$changed" "$user" 52428800
echo "templates changed the quota of $changed to 3145728 bytes, created one of 52428800 for $user"

# Bad input: a clear message, a documented exit code, and no quota changed or created.
before=$(our_quotas)
expect_failure 4 'there is no quota template "No Such Template" on this computer' \
    apply-template 'No Such Template' "$changed"
expect_failure 4 'no quota template' apply-template 'No Such Template' "$untouched"
expect_failure 1 'Q:\nowhere' apply-template 'Home Folders' 'Q:\nowhere'
expect_failure 2 'not a template name' apply-template 'Home Folders\Quota' "$untouched"
expect_failure 2 'missing OBJECT' apply-template 'Home Folders'
stop_services
expect_failure 3 'not running' apply-template 'Home Folders' "$untouched"
start_services
[ "$(our_quotas)" = "$before" ] || fail "a failed apply-template changed the quotas:
$before
now:
$(our_quotas)"
echo "unknown template (4), object off any device (1), bad name (2), no service (3): nothing changed"
