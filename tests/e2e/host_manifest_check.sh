#!/usr/bin/env bash
# The report explained, checked on the host with readers that share no code with the tool:
# "/preview json" first, which must leave nothing behind and ask the client for nothing, then the
# real report, whose entries must be the ones the preview listed and whose manifest must match it
# byte for byte (sizes, CRC-32 and SHA-256 recomputed with Python's zipfile and hashlib), with the
# file the client holds locked in its left-out list. Usage: host_manifest_check.sh BIN_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/env.sh"
source "$here/lib/host_tool_run.sh"
bin=$1

host_work_folder prt-host-manifest
mkdir -p "$work_unix/extra/sub"
printf 'first' > "$work_unix/extra/a.txt"
printf 'second' > "$work_unix/extra/sub/b.txt"
printf 'locked' > "$work_unix/extra/locked.log"
printf '[Config]\r\nProductMode=manifest check\r\n[AdditionalPrtPaths]\r\nExtra=%sextra\r\n' "$work_win" \
    > "$work_unix/VosselPRT.ini"

client_pid=
stop_client() { [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null; wait 2>/dev/null || true; }
trap 'stop_client; rm -rf "$work_unix"' EXIT
"$PRT_ROOT/scripts/wine-run" "$bin/OrmelVossel.exe" --lay-out-material 1 --exit-after 600000 \
    --ready-file "${work_win}client-ready" --record "${work_win}flush-requests.txt" \
    --hold-file "${work_win}extra\\locked.log" </dev/null >/dev/null 2>&1 &
client_pid=$!
for _ in $(seq 1 150); do [ -f "$work_unix/client-ready" ] && break; sleep 0.2; done
[ -f "$work_unix/client-ready" ] || { echo "the client double did not come up"; exit 1; }
rm -f "$work_unix/client-ready"

tool_win=$(winepath -w "$bin/VosselPRT.exe" 2>/dev/null)
run_cmd() {
    printf '@echo off\r\nset TMP=%s\r\nset TEMP=%s\r\n"%s" %s\r\n' "$work_win" "$work_win" "$tool_win" "$1" \
        > "$work_unix/run.cmd"
    wine cmd /c "${work_win}run.cmd" </dev/null 2>/dev/null | tr -d '\r' || true
}
crash_dumps() { ls "$WINEPREFIX"/drive_c/users/*/AppData/Local/Ormel/Merovan/Vossel/Crash\ Dump/ 2>/dev/null || true; }

# Without "/flushed": a report would first ask the client to flush; a preview asks nothing.
# The script's own files aside: the batch file that starts the tool and the preview's output.
listing() { ls "$work_unix" | grep -vx -e run.cmd -e preview.json; crash_dumps; }
before=$(listing)
run_cmd "/preview json /fulldump 0 /file \"${work_win}report.zip\" /summary \"manifest check\"" \
    > "$work_unix/preview.json"
after=$(listing)
if [ "$before" != "$after" ]; then
    echo "the preview left files behind:"; diff <(echo "$before") <(echo "$after") || true; exit 1
fi
for never in PRT.txt SystemInfo.txt user-comment.txt metadata.txt gdi.txt report.zip cmdlinePrt.zip \
        flush-requests.txt; do
    [ ! -e "$work_unix/$never" ] || { echo "the preview made $never"; exit 1; }
done

run_cmd "/preview /fulldump 0 /file \"${work_win}report.zip\"" > "$work_unix/preview.txt"
grep -q "would hold" "$work_unix/preview.txt" || { echo "no plain preview:"; cat "$work_unix/preview.txt"; exit 1; }

run_cmd "/flushed /fulldump 0 /file \"${work_win}report.zip\" /summary \"manifest check\" /ProblemArea audio" \
    > /dev/null
report="$work_unix/report.zip"
[ -f "$report" ] || { echo "no report was made"; exit 1; }

python3 - "$report" "$work_unix/preview.json" "$work_win" <<'PY'
import hashlib, json, sys, zipfile, zlib
report, preview_path, work_win = sys.argv[1:4]
preview = json.load(open(preview_path, encoding="utf-8"))
with zipfile.ZipFile(report) as z:
    assert z.testzip() is None, "a CRC does not match"
    names = z.namelist()
    assert names[-1] == "manifest.json", names
    assert names[-2] == "PRT.txt", names
    manifest = json.loads(z.read("manifest.json").decode("utf-8"))
    assert manifest["format"] == 1 and manifest["tool"] == "VosselPRT", manifest
    assert manifest["report"].startswith("Vossel-Win-") and manifest["report"].endswith(".zip"), manifest["report"]
    assert manifest["started"] <= manifest["ended"], (manifest["started"], manifest["ended"])
    listed = [e["name"] for e in manifest["entries"]]
    assert listed == names[:-1], (listed, names)
    for entry in manifest["entries"]:
        data = z.read(entry["name"])
        assert entry["size"] == len(data), entry
        assert entry["crc32"] == "%08x" % (zlib.crc32(data) & 0xFFFFFFFF), entry
        assert entry["sha256"] == hashlib.sha256(data).hexdigest(), entry
        assert entry["treatment"] in ("copied", "scrubbed", "whole file hidden", "generated"), entry
    by_name = {e["name"]: e for e in manifest["entries"]}
    assert by_name["Extra\\a.txt"]["source"] == work_win + "extra\\a.txt", by_name["Extra\\a.txt"]
    assert by_name["Extra\\a.txt"]["treatment"] == "copied"
    assert by_name["Extra\\sub\\b.txt"]["treatment"] == "copied"
    assert by_name["user-comment.txt"]["source"] == "generated"
    assert by_name["Config\\vosselAllConfig.xml"]["source"] == "exported"
    assert any(e["treatment"] == "scrubbed" for e in manifest["entries"]), "no scrubbed configuration"
    locked = work_win + "extra\\locked.log"
    assert {"path": locked, "reason": "could not be read"} in manifest["leftOut"], manifest["leftOut"]
    assert "Extra\\locked.log" not in names
    assert manifest["options"].get("/ProblemArea") == "audio", manifest["options"]
    assert "/summary" not in manifest["options"], manifest["options"]
    stages = [s["name"] for s in manifest["stages"]]
    assert "collection" in stages and all(s["seconds"] >= 0 for s in manifest["stages"]), stages

    # The preview listed exactly these entries, in this order, and the same left-out file.
    assert [e["name"] for e in preview["entries"]] == names, ([e["name"] for e in preview["entries"]], names)
    assert all("sha256" not in e and "crc32" not in e for e in preview["entries"])
    for entry in preview["entries"]:
        if entry["size"] is not None and entry["name"] != "manifest.json":
            assert entry["size"] == by_name[entry["name"]]["size"], (entry, by_name[entry["name"]])
    assert {"path": locked, "reason": "could not be read"} in preview["leftOut"], preview["leftOut"]
    print("manifest and preview match the report:", len(names), "entries")
PY
echo "1 passed, 0 failed"
