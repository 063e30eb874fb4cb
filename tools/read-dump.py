#!/usr/bin/env python3
# Reads a Quorset crash dump (a minidump) on the build machine: the exception, the
# modules, and for each thread (the faulting one first) the code addresses found on its
# stack, resolved to function, file and line through the release's symbol files
# (dist/symbols/<binary>.debug) with the cross toolchain's addr2line.
#   tools/read-dump.py Quorset-20261208-071502-4242.dmp [dist/symbols]
import os, struct, subprocess, sys

EXCEPTION, THREADS, MODULES = 6, 3, 4
dump_path = sys.argv[1]
symbols = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "dist", "symbols")
data = open(dump_path, "rb").read()
signature, version, count, directory = struct.unpack_from("<IIII", data)
if signature != 0x504D444D:
    sys.exit(f"{dump_path}: not a minidump")
streams = {}
for i in range(count):
    kind, size, rva = struct.unpack_from("<III", data, directory + 12 * i)
    streams[kind] = (rva, size)

def text(rva):
    length, = struct.unpack_from("<I", data, rva)
    return data[rva + 4:rva + 4 + length].decode("utf-16-le")

modules = []  # (base, size, file name)
rva, _ = streams[MODULES]
for i in range(struct.unpack_from("<I", data, rva)[0]):
    base, size, _, _, name = struct.unpack_from("<QIIII", data, rva + 4 + 108 * i)
    modules.append((base, size, text(name).replace("\\", "/").split("/")[-1]))

def image_base(debug_file):  # the address the symbol file's addresses are relative to
    pe = open(debug_file, "rb").read(4096)
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    return struct.unpack_from("<Q", pe, header + 24 + 24)[0]

def where(address):
    for base, size, name in modules:
        if base <= address < base + size:
            debug = os.path.join(symbols, name + ".debug")
            if not os.path.exists(debug):
                return f"{name}+0x{address - base:x}"
            lines = subprocess.run(["x86_64-w64-mingw32-addr2line", "-f", "-C", "-e", debug,
                                    hex(address - base + image_base(debug))], capture_output=True, text=True).stdout.split("\n")
            if lines[0] == "??":
                return f"{name}+0x{address - base:x}"
            return f"{name}+0x{address - base:x} {lines[0]} {os.path.basename(lines[1]) if len(lines) > 1 else ''}"
    return None

faulting = None
if EXCEPTION in streams:
    rva, _ = streams[EXCEPTION]
    faulting, _, code, _, _, address = struct.unpack_from("<IIIIQQ", data, rva)
    print(f"exception 0x{code:08X} at 0x{address:x} on thread {faulting}: {where(address) or 'outside every module'}")
print("modules:", ", ".join(f"{name} 0x{base:x}" for base, _, name in modules))
rva, _ = streams[THREADS]
threads = [struct.unpack_from("<IIIIQQII", data, rva + 4 + 48 * i) for i in range(struct.unpack_from("<I", data, rva)[0])]
for thread in sorted(threads, key=lambda t: t[0] != faulting):
    thread_id, stack_start, stack_size, stack_rva = thread[0], thread[5], thread[6], thread[7]
    print(f"thread {thread_id}{' (faulting)' if thread_id == faulting else ''}: code addresses on its stack, innermost first")
    for offset in range(0, stack_size - 7, 8):
        found = where(struct.unpack_from("<Q", data, stack_rva + offset)[0])
        if found and " " in found:  # only what the symbol files resolve to a function
            print(f"  0x{stack_start + offset:x}  {found}")
