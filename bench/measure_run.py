#!/usr/bin/env python3
"""Runs a command and watches, on the host, the Wine process of one Windows program that it starts
(matched by executable name and by this checkout's Wine prefix): wall time of the command, the
program's peak resident and peak private (anonymous) memory, its CPU time and the most threads it
had. Wine reports no true peak of committed memory, so private memory sampled every few
milliseconds stands in for it.
Usage: measure_run.py EXE_NAME -- COMMAND... ; prints "key value" lines."""
import os
import subprocess
import sys
import time

name = sys.argv[1].lower()
command = sys.argv[sys.argv.index("--") + 1:]
prefix = os.environ.get("WINEPREFIX", "")
tick = os.sysconf("SC_CLK_TCK")


def ours(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            if name.encode() not in f.read().lower():
                return False
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0")
    except OSError:
        return False


def status(pid):
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            values[key] = rest.split()
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    kib = lambda key: int(values.get(key, ["0"])[0])
    return {
        "hwm": kib("VmHWM"),
        "private": kib("RssAnon") + kib("VmSwap"),
        "threads": kib("Threads"),
        "cpu": (int(fields[11]) + int(fields[12])) / tick,
    }


start = time.monotonic()
start_epoch = time.time()
child = subprocess.Popen(command, stdin=subprocess.DEVNULL)
pids = set()
peak = {"hwm": 0, "private": 0, "threads": 0}
cpu = {}
last_scan = 0.0
while child.poll() is None:
    now = time.monotonic()
    if now - last_scan > 0.05:
        last_scan = now
        for entry in os.listdir("/proc"):
            if entry.isdigit() and int(entry) not in pids and ours(entry):
                pids.add(int(entry))
    for pid in list(pids):
        try:
            sample = status(pid)
        except (OSError, IndexError, ValueError):
            continue
        for key in peak:
            peak[key] = max(peak[key], sample[key])
        cpu[pid] = sample["cpu"]
    time.sleep(0.005)
wall = time.monotonic() - start
print(f"start_epoch {start_epoch:.3f}")
print(f"end_epoch {start_epoch + wall:.3f}")
print(f"wall_seconds {wall:.2f}")
print(f"exit_code {child.returncode}")
print(f"seen {'yes' if pids else 'no'}")
print(f"peak_rss_mb {peak['hwm'] / 1024:.1f}")
print(f"peak_private_mb {peak['private'] / 1024:.1f}")
print(f"cpu_seconds {sum(cpu.values()):.2f}")
print(f"max_threads {peak['threads']}")
