#!/usr/bin/env bash
# Starts the program as the run command does, waits for its main window by title, takes a
# screenshot of the display and stops the program.
set -euo pipefail
exe=$1
shots=$2
mkdir -p "$shots"
# The discovery goes to a loopback port where nothing answers: run by hand outside the test
# namespace, the program would otherwise broadcast to the network.
QUARNEL_DISCOVERY_ADDRESS=127.0.0.1:9 "${QUARNEL_WINE:-wine}" "$exe" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
found=
for _ in $(seq 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Quarnel Backup for MS SQL Server"'; then found=1; break; fi
    sleep 0.2
done
xwd -root -silent >"$shots/program-window.xwd" || true
if [ -z "$found" ]; then
    echo "no window titled \"Quarnel Backup for MS SQL Server\" appeared" >&2
    xwininfo -root -tree >&2 || true
    exit 1
fi
[ -s "$shots/program-window.xwd" ] || { echo "screenshot failed" >&2; exit 1; }
echo "window \"Quarnel Backup for MS SQL Server\" shown; screenshot $shots/program-window.xwd"
