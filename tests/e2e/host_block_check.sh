#!/usr/bin/env bash
# Archives made by the tool's writer with one compression thread and with several, read on the
# host by readers that share no code with it (Info-ZIP's unzip, Python's zipfile), byte for byte,
# for entries around the compression piece size and of every kind of content. What deflate does not
# shrink (nothing, one byte, noise) is stored (method 0 in the central directory), the rest
# deflated. Usage: host_block_check.sh BIN_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/env.sh"
bin=$1

work="$WINEPREFIX/drive_c/prt-block-check"
rm -rf "$work"; mkdir -p "$work/material"
trap 'rm -rf "$work"' EXIT
python3 - "$work/material" <<'PY'
import os, random, sys
piece = 1024 * 1024
rng = random.Random(14)
def mixed(size):
    text = b"".join(b"2026-12-09 10:11:12,345 INFO call %d state %d\r\n" % (rng.randrange(10**6), rng.randrange(16))
                    for _ in range(size // 40 + 1))
    noise = rng.randbytes(size)
    return bytes(text[i] if (i // 50000) % 2 == 0 else noise[i] for i in range(size))
for name, data in [("empty.bin", b""), ("one-byte.bin", b"x"), ("one-piece.bin", mixed(piece)),
                   ("piece-and-a-byte.bin", mixed(piece + 1)), ("many-pieces.bin", mixed(5 * piece + 4321)),
                   ("incompressible.bin", rng.randbytes(3 * piece + 17)),
                   ("repetitive.bin", b"z" * (5 * piece + 3))]:
    with open(os.path.join(sys.argv[1], name), "wb") as f:
        f.write(data)
PY
bench_win=$(winepath -w "$bin/archive_bench.exe" 2>/dev/null)
for threads in 1 4; do
    printf '@echo off\r\nset TMP=C:\\prt-block-check\\\r\nset TEMP=C:\\prt-block-check\\\r\n"%s" "C:\\prt-block-check\\material" "C:\\prt-block-check\\t%s.zip" %s\r\n' \
        "$bench_win" "$threads" "$threads" > "$work/run.cmd"
    wine cmd /c 'C:\prt-block-check\run.cmd' </dev/null >/dev/null 2>&1
    unzip -tq "$work/t$threads.zip"
    python3 - "$work/t$threads.zip" "$work/material" <<'PY'
import os, sys, zipfile
report, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(report) as z:
    assert z.testzip() is None, "a CRC does not match"
    names = sorted(z.namelist())
    assert names == sorted(os.listdir(folder)), names
    for name in names:
        assert z.read(name) == open(os.path.join(folder, name), "rb").read(), name
        stored = name in ("empty.bin", "one-byte.bin", "incompressible.bin")
        info = z.getinfo(name)
        assert info.compress_type == (zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED), name
        assert (info.compress_size == info.file_size) if stored else (info.compress_size < info.file_size), name
print("host readers accept", report, "with", len(names), "entries")
PY
done
echo "1 passed, 0 failed"
