#!/usr/bin/env bash
# The companion's HTML summary in headless Chromium: the page loads without an error or a blocked
# request and shows every section and the chart. The page, the DOM the browser built and a
# screenshot stay in ARTEFACTS for a person to look at.
#   html_in_browser_check.sh COMPANION FIXTURE_WRITER ARTEFACTS [RUNNER]
# RUNNER (scripts/wine-run for the Windows build) runs the two programs; paths then go to them in
# Windows form.
set -euo pipefail
companion=$1 fixture=$2 artefacts=$3 runner=${4:-}
mkdir -p "$artefacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

to_program() {
    if [ -n "$runner" ]; then winepath -w "$1" 2>/dev/null; else printf '%s' "$1"; fi
}
run() {
    if [ -n "$runner" ]; then "$runner" "$@"; else "$@"; fi
}

report="$work/report.zip"
page="$artefacts/summary.html"
rm -f "$page" "$artefacts/summary-dom.html" "$artefacts/summary.png"
run "$fixture" "$(to_program "$report")"
run "$companion" summary "$(to_program "$report")" --html "$(to_program "$page")"
[ -s "$page" ] || { echo "FAIL: the companion wrote no page"; exit 1; }

browser() {
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$work/profile-$1" --enable-logging=stderr --v=0 \
        "${@:2}" "file://$page"
}
browser dom --dump-dom >"$artefacts/summary-dom.html" 2>"$work/dom.log"
browser shot --screenshot="$artefacts/summary.png" --window-size=1200,2400 >/dev/null 2>"$work/shot.log"

failed=0
for heading in Report User Machine Dumps "Crash trace" "GDI objects" "Client log errors"; do
    grep -q "<h2>$heading</h2>" "$artefacts/summary-dom.html" || { echo "FAIL: no section \"$heading\" in the DOM"; failed=1; }
done
grep -q '<svg' "$artefacts/summary-dom.html" || { echo "FAIL: no chart in the DOM"; failed=1; }
grep -q 'EXCEPTION_ACCESS_VIOLATION' "$artefacts/summary-dom.html" || { echo "FAIL: no exception in the DOM"; failed=1; }
# Console messages, refused loads and failed requests are what "loads with errors" looks like.
if grep -E 'CONSOLE|Refused to|net::ERR_|Uncaught' "$work/dom.log" "$work/shot.log"; then
    echo "FAIL: the page did not load cleanly"; failed=1
fi
[ -s "$artefacts/summary.png" ] || { echo "FAIL: no screenshot"; failed=1; }
[ "$failed" = 0 ] && echo "the page shows every section; screenshot $artefacts/summary.png"
exit "$failed"
