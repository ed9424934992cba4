#!/bin/bash
# Makes a PDF printer queue available to the programs run under Wine: starts the CUPS scheduler
# when it is not running and adds the queue QUEUE (cups-pdf) when it is missing. The queue does
# not become the default printer. Prints the folder the PDF files of root's jobs land in.
# Usage: pdf-printer.sh QUEUE
set -e
queue=${1:?usage: pdf-printer.sh QUEUE}
scheduler_running() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
if ! scheduler_running; then
    /usr/sbin/cupsd >/dev/null 2>&1 # forks into the background and stays for later runs
    for _ in $(seq 50); do
        scheduler_running && break
        sleep 0.1
    done
fi
if ! lpstat -p "$queue" >/dev/null 2>&1; then
    lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
        { echo "pdf-printer.sh: cannot add the queue $queue" >&2; exit 1; }
fi
echo "$HOME/PDF"
