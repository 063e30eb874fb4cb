#!/usr/bin/env python3
"""Finishes a PE file's header so that a release is the same wherever it is built.

  pe-header.py time FILE   sets the file header's time (TimeDateStamp) to SOURCE_DATE_EPOCH;
                           the installer's build runs it on the installer's header (makensis
                           !packhdr), whose time would otherwise be the day the installer
                           compiler itself was built. The checksum is left: that header has none.
  pe-header.py pad FILE    pads the file with zeros to a multiple of 8 bytes and sets the
                           header's checksum again. Signing pads a file so before it appends
                           the signature, and removing the signature leaves that padding; a
                           padded file gets back its own bytes when its signature is removed.
"""
import os
import struct
import sys


def headers(data, path):
    """The offsets of the file header and of the optional header's checksum."""
    if data[:2] != b"MZ":
        sys.exit(f"{path}: not a PE file")
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    return header + 4, header + 4 + 20 + 64


def checksum(data, field):
    """The image checksum: 16-bit words summed with end-around carry, plus the length."""
    padded = bytes(data) + b"\0" * (len(data) % 2)
    words = memoryview(padded).cast("H")
    total = sum(words) - words[field // 2] - words[field // 2 + 1]
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


mode, path = sys.argv[1:3]
with open(path, "rb") as pe:
    data = bytearray(pe.read())
file_header, checksum_field = headers(data, path)
if mode == "time":
    struct.pack_into("<I", data, file_header + 4, int(os.environ["SOURCE_DATE_EPOCH"]))
elif mode == "pad":
    data += b"\0" * (-len(data) % 8)
    struct.pack_into("<I", data, checksum_field, checksum(data, checksum_field))
else:
    sys.exit(f"unknown mode {mode}")
with open(path, "wb") as pe:
    pe.write(data)
