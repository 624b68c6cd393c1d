#!/usr/bin/env bash
# Reads a report made by the real tool with readers that share no code with it: Info-ZIP's
# unzip and Python's zipfile, on the host. Usage: host_zip_check.sh BIN_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/env.sh"
source "$here/lib/host_tool_run.sh"
bin=$1

host_work_folder prt-host-check
printf '[Config]\r\nProductMode=host check\r\n' > "$work_unix/VosselPRT.ini"
head -c 300000 /dev/urandom > "$work_unix/dntcolex.dmp"
# The clean-up deletes the dump with the other working files; the copy is what the report must hold.
cp "$work_unix/dntcolex.dmp" "$work_unix/dntcolex.expected"
printf 'screenshot' > "$work_unix/Vossel_Screenshot2.png"

run_tool_in_work_folder "$bin" "/flushed /file \"${work_win}report.zip\" /summary \"host check\""

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
                "Vossel_Screenshot2.png", "PRT.txt", "manifest.json"]
    assert names == expected, names
    infos = z.infolist()
    assert len({i.date_time for i in infos}) == 1, "entries carry different dates"
    # Deflated where that makes an entry smaller, stored as it is otherwise (the random dump), as zip does.
    for i in infos:
        assert (i.compress_type, i.compress_size < i.file_size) in ((zipfile.ZIP_DEFLATED, True), (zipfile.ZIP_STORED, False)), i
        assert i.compress_type == zipfile.ZIP_DEFLATED or i.compress_size == i.file_size, i
    assert z.getinfo("dntcolex.dmp").compress_type == zipfile.ZIP_STORED
    assert z.getinfo("PRT.txt").compress_type == zipfile.ZIP_DEFLATED
    assert all(i.extra == b"" and i.comment == b"" for i in infos)
    assert z.comment == b""
    assert z.read("dntcolex.dmp") == open(folder + "/dntcolex.expected", "rb").read()
    assert z.read("metadata.txt").decode("utf-16").startswith(",other,0,")
    print("host readers accept the report:", ", ".join(names))
PY
echo "1 passed, 0 failed"
