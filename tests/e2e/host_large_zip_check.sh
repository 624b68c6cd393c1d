#!/usr/bin/env bash
# A report that needs the zip64 forms, read on the host by readers that share no code with the
# writer: an entry over 4 GiB (a sparse file of zeros, so the run stays quick), 65536 further-folder
# entries, and a UTF-8 entry name. Usage: host_large_zip_check.sh BIN_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/env.sh"
source "$here/lib/host_tool_run.sh"
bin=$1

host_work_folder prt-large-check
mkdir -p "$work_unix/many" "$work_unix/umlaut"

truncate -s $((4 * 1024 * 1024 * 1024 + 1)) "$work_unix/big.dmp"
python3 - "$work_unix/many" <<'PY'
import os, sys
for i in range(65536):
    open(os.path.join(sys.argv[1], "f%05d" % i), "wb").close()
PY
printf 'umlaut' > "$work_unix/umlaut/ä.txt"
# UTF-16 with its byte-order mark, so that the name reads the same on any code page.
printf '[Config]\r\n[AdditionalPrtPaths]\r\nMany=%smany\r\nÜber=%sumlaut\r\n' "$work_win" "$work_win" \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$work_unix/VosselPRT.ini"

run_tool_in_work_folder "$bin" "/flushed /file \"${work_win}report.zip\" /attach \"${work_win}big.dmp\""

report="$work_unix/report.zip"
[ -f "$report" ] || { echo "no report was made"; exit 1; }
unzip -tq "$report"

python3 - "$report" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    infos = z.infolist()
    names = [i.filename for i in infos]
    many = [n for n in names if n.startswith("Many\\")]
    assert len(many) == 65536, len(many)
    assert "Über\\ä.txt" in names, [n for n in names if not n.startswith("Many\\")]
    assert z.read("Über\\ä.txt") == b"umlaut"
    big = z.getinfo("big.dmp")
    assert big.file_size == 4 * 1024 ** 3 + 1, big.file_size
    with z.open(big) as f:
        assert f.read(1 << 20) == bytes(1 << 20)
    print("host readers accept the large report:", len(names), "entries, big.dmp", big.file_size, "bytes")
PY
echo "1 passed, 0 failed"
