#!/usr/bin/env python3
"""Sums a `perf report --sort dso,sym --stdio` listing of a Wine run by module and by function.
Wine maps a PE executable where perf sees no file ("[JIT]"): its addresses are resolved with the
executable's own symbol table. Usage: profile_summary.py PERF_REPORT.txt TOOL.exe"""
import re
import subprocess
import sys

report, exe = sys.argv[1], sys.argv[2]
row = re.compile(r"^\s+([\d.]+)%\s+(.+?)\s+\[([.k])\]\s+(.+?)\s*$")
samples = []
for line in open(report, errors="replace"):
    m = row.match(line)
    if m:
        share, dso, _, symbol = float(m.group(1)), m.group(2).strip(), m.group(3), m.group(4)
        samples.append([share, dso, symbol])

addresses = sorted({s[2] for s in samples if s[1].startswith("[JIT]") and re.fullmatch(r"0x0*14[0-9a-f]{7}", s[2])})
# The nearest function symbol at or below each address (the libraries carry symbols but no
# debug information, so the symbol table serves better than addr2line).
names = {}
if addresses:
    import bisect
    table = []
    nm = subprocess.run(["x86_64-w64-mingw32-nm", "-n", "-C", "--defined-only", exe], capture_output=True, text=True).stdout
    for line in nm.splitlines():
        parts = line.split(maxsplit=2)
        if len(parts) == 3 and parts[1] in "Tt":
            table.append((int(parts[0], 16), parts[2]))
    starts = [start for start, _ in table]
    for address in addresses:
        i = bisect.bisect_right(starts, int(address, 16)) - 1
        if i >= 0:
            names[address] = table[i][1]

by_module, by_function = {}, {}
for share, dso, symbol in samples:
    module = "VosselPRT.exe (with libdeflate, zlib and minizip)" if dso.startswith("[JIT]") else dso
    function = names.get(symbol, symbol)
    if re.fullmatch(r"0x[0-9a-f]+", function):
        function = "(unresolved)"
    by_module[module] = by_module.get(module, 0) + share
    by_function[(module, function)] = by_function.get((module, function), 0) + share

print("share of samples by module:")
for module, share in sorted(by_module.items(), key=lambda kv: -kv[1])[:10]:
    print(f"  {share:6.2f}%  {module}")
print("hottest functions:")
for (module, function), share in sorted(by_function.items(), key=lambda kv: -kv[1])[:15]:
    print(f"  {share:6.2f}%  {function:32} {module}")
