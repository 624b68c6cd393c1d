#!/usr/bin/env bash
# Reads a report made by the real tool with readers that share no code with it: Info-ZIP's
# unzip and Python's zipfile, on the host. Usage: host_zip_check.sh BIN_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/env.sh"
bin=$1

# The client's folders of the Wine user start empty, as the tool's other tests leave them.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/{Local,Roaming}/Ormel
work_unix="$WINEPREFIX/drive_c/prt-host-check"
rm -rf "$work_unix"; mkdir -p "$work_unix"
trap 'rm -rf "$work_unix"' EXIT
work_win='C:\prt-host-check\'
printf '[Config]\r\nProductMode=host check\r\n' > "$work_unix/VosselPRT.ini"
head -c 300000 /dev/urandom > "$work_unix/dntcolex.dmp"
printf 'screenshot' > "$work_unix/Vossel_Screenshot2.png"

tool_win=$(winepath -w "$bin/VosselPRT.exe" 2>/dev/null)
printf '@echo off\r\nset TMP=%s\r\nset TEMP=%s\r\n"%s" /flushed /file "%sreport.zip" /summary "host check"\r\n' \
    "$work_win" "$work_win" "$tool_win" "$work_win" > "$work_unix/run.cmd"
wine cmd /c "${work_win}run.cmd" </dev/null >/dev/null 2>&1

report="$work_unix/report.zip"
[ -f "$report" ] || { echo "no report was made"; exit 1; }
unzip -tq "$report"

python3 - "$report" "$work_unix" <<'PY'
import sys, zipfile
report, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(report) as z:
    assert z.testzip() is None, "a CRC does not match"
    names = z.namelist()
    expected = ["VosselPRT.ini", "dntcolex.dmp", "SystemInfo\\SystemInfo.txt", "user-comment.txt", "metadata.txt",
                "Vossel_Screenshot2.png", "PRT.txt"]
    assert names == expected, names
    infos = z.infolist()
    assert len({i.date_time for i in infos}) == 1, "entries carry different dates"
    assert all(i.compress_type == zipfile.ZIP_DEFLATED for i in infos)
    assert all(i.extra == b"" and i.comment == b"" for i in infos)
    assert z.comment == b""
    assert z.read("dntcolex.dmp") == open(folder + "/dntcolex.dmp", "rb").read()
    assert z.read("metadata.txt").decode("utf-16").startswith(",other,0,")
    print("host readers accept the report:", ", ".join(names))
PY
echo "1 passed, 0 failed"
