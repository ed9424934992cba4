#!/bin/bash
# Installs the demonstration quota templates (seed-templates.reg: three ordinary templates and
# both fallback templates) into HKEY_LOCAL_MACHINE of a Wine prefix. Existing values are
# overwritten; other templates are left alone.
# Usage: seed-templates.sh [WINEPREFIX]   (default: $WINEPREFIX)
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEPREFIX=${1:-${WINEPREFIX:-}}
if [ -z "$WINEPREFIX" ]; then
    echo "usage: seed-templates.sh WINEPREFIX" >&2
    exit 2
fi
# Wine shows the Linux file system as drive Z:.
reg_file="Z:${here//\//\\}\\seed-templates.reg"
wine64 regedit /S "$reg_file"
echo "Demonstration quota templates installed in $WINEPREFIX."
