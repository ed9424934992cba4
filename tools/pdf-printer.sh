#!/bin/bash
# Makes a PDF printer queue available to the programs run under Wine: starts the CUPS scheduler
# when it is not running and adds a cups-pdf queue when it is missing. Prints the folder the PDF
# files of the current user's jobs land in (as root: /root/PDF).
# Usage: pdf-printer.sh start      queue "PDF", made the default printer
#        pdf-printer.sh stop       stops the scheduler if "start" started it
#        pdf-printer.sh QUEUE      queue QUEUE, the default printer left alone
set -e
state=/tmp/kelvane-cupsd.started
scheduler_running() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }

case "${1:?usage: pdf-printer.sh start|stop|QUEUE}" in
stop)
    if [ -f "$state" ]; then
        pid=$(cat /run/cups/cupsd.pid 2>/dev/null || true)
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
        rm -f "$state"
    fi
    exit 0
    ;;
start) queue=PDF ;;
*) queue=$1 ;;
esac

if ! scheduler_running; then
    /usr/sbin/cupsd >/dev/null 2>&1 # forks into the background and stays for later runs
    [ "$1" = start ] && touch "$state"
    for _ in $(seq 50); do
        scheduler_running && break
        sleep 0.1
    done
fi
if ! lpstat -p "$queue" >/dev/null 2>&1; then
    lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
        { echo "pdf-printer.sh: cannot add the queue $queue" >&2; exit 1; }
fi
if [ "$1" = start ]; then
    lpoptions -d "$queue" >/dev/null
fi
echo "$HOME/PDF"
