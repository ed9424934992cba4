#!/bin/bash
# Prints a known grid (150 rows, 10 columns) on a PDF printer queue and reads the pages back:
# page count, page numbers, headings on every page, columns continued on further pages, every
# row printed once. Usage: print_to_pdf_test.sh SOURCE_DIR BUILD_DIR grid_pdf_print.exe
set -e
source_dir=$1
build_dir=$2
program=$3
. "$source_dir/tools/pdf-checks.sh"
require_pdf_printing
queue=KelvaneGridPDF
outdir=$("$source_dir/tools/pdf-printer.sh" "$queue")
title="GridPrintTest$$"
# A program that cannot print fails the test at once, without waiting for a PDF.
output=$("$source_dir/tools/wine-exec.sh" --prefix "$build_dir/wine/test" "$program" "$queue" "$title")
output=${output//$'\r'/}
pages=${output#pages=}
echo "printed $pages pages"

pdf=""
for _ in $(seq 240); do
    pdf=$(ls "$outdir"/*"$title"*.pdf 2>/dev/null | head -1)
    if [ -n "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1; then
        break
    fi
    pdf=""
    sleep 0.5
done
[ -n "$pdf" ] || { echo "no PDF for $title in $outdir"; exit 1; }
trap 'rm -f "$pdf"' EXIT

has() { page_text "$1" | grep -q -- "$2"; }
lacks() { ! has "$1" "$2"; }

check "nine pages (three row bands, three column bands)" [ "$pages" = 9 ]
check "PDF page count" [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = "$pages" ]
for page in $(seq "$pages"); do
    check "page number on page $page" has "$page" "Page $page of $pages"
done
check "page 1 headings" has 1 "Col-A"
check "page 1 first row" has 1 "R001-A"
check "page 1 stops before column E" lacks 1 "Col-E"
check "page 2 continues the rows in column E" has 2 "R001-E"
check "page 2 heading" has 2 "Col-E"
check "page 2 without column A" lacks 2 "Col-A"
check "page 3 last columns" has 3 "R001-J"
check "page 4 repeats the headings" has 4 "Col-A"
check "page 4 has the next rows" lacks 4 "R001-A"
check "page 9 has the last cell" has 9 "R150-J"
rows_printed=$(pdftotext "$pdf" - | grep -o 'R[0-9][0-9][0-9]-A' | sort -u | wc -l)
rows_total=$(pdftotext "$pdf" - | grep -o 'R[0-9][0-9][0-9]-A' | wc -l)
check "every row once in column A ($rows_printed distinct, $rows_total printed)" \
    [ "$rows_printed" = 150 -a "$rows_total" = 150 ]
[ "$failures" = 0 ] && echo "printout checked: $pdf"
exit "$failures"
