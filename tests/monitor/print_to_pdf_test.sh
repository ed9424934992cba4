#!/bin/bash
# Prints a monitor grid of 200 quota rows on a PDF printer queue and reads the pages back:
# title, date, headings and page number on every page, the object's name repeated on the pages
# that continue rows to the right, every row printed once per page set. The grid is printed
# twice through the view's Print command (its Print dialog confirmed) on the default printer:
# as it stands, and after choosing landscape in Print Setup.
# Usage: print_to_pdf_test.sh SOURCE_DIR BUILD_DIR monitor_pdf_print.exe
set -e
source_dir=$1
build_dir=$2
program=$3
. "$source_dir/tools/pdf-checks.sh"
require_pdf_printing
# The Print command prints on the default printer ("PDF", made so by pdf-printer.sh start); a
# program counts the pages on a queue of the test's own.
outdir=$("$source_dir/tools/pdf-printer.sh" start)
"$source_dir/tools/pdf-printer.sh" KelvaneMonitorPDF >/dev/null


wait_for_pdf() { # wait_for_pdf TITLE: sets pdf
    pdf=""
    for _ in $(seq 240); do
        pdf=$(ls "$outdir"/*"$1"*.pdf 2>/dev/null | head -1)
        if [ -n "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1; then
            return 0
        fi
        pdf=""
        sleep 0.5
    done
    echo "FAILED: no PDF for $1 in $outdir"
    failures=$((failures + 1))
    return 1
}

lacks() { ! page_text "$1" | grep -q -- "$2"; }

check_printout() { # check_printout PAGES: every other page continues the rows to the right
    local pages=$1
    check "an even number of pages" [ "$pages" -gt 1 -a $((pages % 2)) = 0 ]
    check "PDF page count" [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = "$pages" ]
    for page in $(seq "$pages"); do
        for text in "Allotrix/Sentrel Monitor - All objects on computer" "$(date +%Y)" \
            "Object Name" "Page $page of $pages"; do
            check "\"$text\" on page $page" grep -q -- "$text" <(page_text "$page")
        done
        if [ $((page % 2)) = 1 ]; then
            check "first columns on page $page" grep -q -- "% Space Used" <(page_text "$page")
        else
            check "Server continues page $((page - 1))" grep -q -- "Server" <(page_text "$page")
            check "no first columns on page $page" lacks "$page" "Capacity"
        fi
    done
    check "sizes with their unit" grep -q "200.0MB" <(pdftotext "$pdf" -)
    rows_printed=$(pdftotext "$pdf" - | grep -o 'Quota[0-9][0-9][0-9]' | sort -u | wc -l)
    rows_total=$(pdftotext "$pdf" - | grep -o 'Quota[0-9][0-9][0-9]' | wc -l)
    check "every row on both page sets ($rows_printed distinct, $rows_total printed)" \
        [ "$rows_printed" = 200 -a "$rows_total" = 400 ]
}

for mode in command landscape; do
    title="MonitorPrint${mode}$$"
    # A program that cannot print fails the test at once, without waiting for a PDF.
    output=$("$source_dir/tools/wine-exec.sh" --prefix "$build_dir/wine/test" "$program" \
        KelvaneMonitorPDF "$title" "$mode")
    output=${output//$'\r'/}
    pages=${output#pages=}
    echo "$mode: printed $pages pages"
    wait_for_pdf "$title" || continue
    [ -n "${KELVANE_KEEP_PDF:-}" ] && cp "$pdf" "$KELVANE_KEEP_PDF"
    check_printout "$pages"
    # Wider than high as shown: the page size, turned by the page rotation.
    wide=$(pdfinfo "$pdf" | awk '/^Page size:/ {w = $3; h = $5} /^Page rot:/ {r = $3}
        END {if (r == 90 || r == 270) {t = w; w = h; h = t}; print (w > h) ? 1 : 0}')
    check "$mode: pages in the orientation chosen" [ "$wide" = "$([ "$mode" = landscape ] && echo 1 || echo 0)" ]
    rm -f "$pdf"
done
[ "$failures" = 0 ] && echo "printouts checked"
exit "$failures"
