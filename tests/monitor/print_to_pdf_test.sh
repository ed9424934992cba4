#!/bin/bash
# Prints a monitor grid of 200 quota rows on a PDF printer queue and reads the pages back:
# headings on every page, every row printed exactly once across the page breaks. The grid is
# printed twice: directly on a queue, and through the view's Print command (its Print dialog
# confirmed) on the default printer.
# Usage: print_to_pdf_test.sh SOURCE_DIR BUILD_DIR monitor_pdf_print.exe
set -e
source_dir=$1
build_dir=$2
program=$3
. "$source_dir/tools/pdf-checks.sh"
require_pdf_printing
# The Print command prints on the default printer ("PDF", made so by pdf-printer.sh start); a
# direct printout goes to a queue of the test's own.
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

check_printout() { # check_printout PAGES
    local pages=$1
    check "more than one page" [ "$pages" -gt 1 ]
    check "PDF page count" [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = "$pages" ]
    for page in $(seq "$pages"); do
        for heading in "Object Name" "% Space Used" "Space Used" "Capacity" "Server"; do
            check "heading $heading on page $page" grep -q -- "$heading" <(page_text "$page")
        done
        check "page number on page $page" grep -q "Page $page of $pages" <(page_text "$page")
    done
    check "sizes with their unit" grep -q "200.0MB" <(pdftotext "$pdf" -)
    rows_printed=$(pdftotext "$pdf" - | grep -o 'Quota[0-9][0-9][0-9]' | sort -u | wc -l)
    rows_total=$(pdftotext "$pdf" - | grep -o 'Quota[0-9][0-9][0-9]' | wc -l)
    check "every row once ($rows_printed distinct, $rows_total printed)" \
        [ "$rows_printed" = 200 -a "$rows_total" = 200 ]
}

for mode in direct command; do
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
    rm -f "$pdf"
done
[ "$failures" = 0 ] && echo "printouts checked"
exit "$failures"
