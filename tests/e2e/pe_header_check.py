#!/usr/bin/env python3
"""Checks on the host that the tool's executables may use more than 2 GB of address space: the
large-address-aware bit (0x0020) of the PE file header's characteristics.
Usage: pe_header_check.py EXE..."""
import struct
import sys

LARGE_ADDRESS_AWARE = 0x0020
failed = 0
for path in sys.argv[1:]:
    try:
        with open(path, "rb") as exe:
            data = exe.read(4096)
    except OSError as error:
        print(f"{path}: cannot be read ({error}); build both targets first")
        failed += 1
        continue
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", f"{path}: no PE header"
    machine, characteristics = struct.unpack_from("<H", data, pe + 4)[0], struct.unpack_from("<H", data, pe + 22)[0]
    ok = bool(characteristics & LARGE_ADDRESS_AWARE)
    print(f"{path}: machine 0x{machine:04x}, characteristics 0x{characteristics:04x}, large address aware: {ok}")
    failed += not ok
print(f"{len(sys.argv) - 1 - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
