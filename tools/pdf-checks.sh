# Shell functions for tests that read printouts back from a PDF printer. Sourced, not run.

# Exits with 77 (skipped) when CUPS, cups-pdf or poppler-utils are missing.
require_pdf_printing() {
    if ! command -v pdftotext >/dev/null || ! command -v lpadmin >/dev/null ||
        [ ! -x /usr/sbin/cupsd ] || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
        echo "CUPS, cups-pdf or poppler-utils are not installed"
        exit 77
    fi
}

failures=0
check() { # check DESCRIPTION COMMAND...: counts a failure when COMMAND fails
    local what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# The text of page $1 of the PDF named by $pdf.
page_text() { pdftotext -layout -f "$1" -l "$1" "$pdf" -; }
