#!/usr/bin/env python3
"""Writes a folder of report material for the archive benchmark: rotated text logs and one large
binary file shaped like a full memory dump (zero pages, repeated structures, code-like and random
stretches). Usage: make_material.py FOLDER [TOTAL_MB]"""
import os
import random
import sys

folder = sys.argv[1]
total_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 300
os.makedirs(os.path.join(folder, "Logs"), exist_ok=True)
rng = random.Random(20261209)
MB = 1024 * 1024

# About a third of the material is text logs.
log_mb = total_mb // 3
components = ["SipStack", "MediaEngine", "UI", "Presence", "Contacts", "Config", "Network"]
levels = ["DEBUG", "INFO", "INFO", "INFO", "WARN", "ERROR"]
for index in range(max(1, log_mb // 20)):
    with open(os.path.join(folder, "Logs", f"vossel.log.{index}"), "w", newline="\r\n") as log:
        written = 0
        while written < 20 * MB:
            line = (f"2026-12-09 {rng.randrange(24):02}:{rng.randrange(60):02}:{rng.randrange(60):02},"
                    f"{rng.randrange(1000):03} [{rng.randrange(1, 64):>4}] {rng.choice(levels):5} "
                    f"{rng.choice(components)} - call {rng.randrange(10**6)} state {rng.randrange(16)} "
                    f"peer sip:user{rng.randrange(5000)}@example.invalid latency {rng.randrange(400)} ms\n")
            log.write(line)
            written += len(line) + 1

# The rest is one dump-shaped file.
dump_mb = total_mb - log_mb
with open(os.path.join(folder, "fulldump.dmp"), "wb") as dump:
    structure = bytes(rng.randrange(256) for _ in range(4096))
    for block in range(dump_mb * 16):  # blocks of 64 KiB
        kind = rng.random()
        if kind < 0.40:
            dump.write(bytes(65536))
        elif kind < 0.70:
            dump.write(structure * 16)
        elif kind < 0.85:
            dump.write(bytes((i * 7 + block) & 0xFF for i in range(4096)) * 16)
        else:
            dump.write(os.urandom(65536))
