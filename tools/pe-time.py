#!/usr/bin/env python3
"""Sets the time in a PE file's header (the file header's TimeDateStamp) to SOURCE_DATE_EPOCH.

The installer's build runs it on the installer's header (makensis !packhdr), whose time
would otherwise be the day the installer compiler itself was built. The header's checksum
is left as it is: the installer's header carries none.
Usage: SOURCE_DATE_EPOCH=<seconds> pe-time.py FILE
"""
import os
import struct
import sys

path = sys.argv[1]
with open(path, "r+b") as pe:
    data = pe.read(0x40)
    if data[:2] != b"MZ":
        sys.exit(f"{path}: not a PE file")
    header = struct.unpack_from("<I", data, 0x3C)[0]
    pe.seek(header)
    if pe.read(4) != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    pe.seek(header + 8)
    pe.write(struct.pack("<I", int(os.environ["SOURCE_DATE_EPOCH"])))
