#!/usr/bin/env python3
"""Writes, at the path given, cabinets for measuring how the reader meets hostile packages
(none is committed: they are megabytes, or unpack to gigabytes).

  make_bomb.py bomb OUT.tsk     a 3.7 MB package whose MSZIP data file claims 2 GiB
  make_bomb.py many OUT.cab     65,535 empty members, each in a folder of its own"""
import struct
import sys
import zlib

DOS_DATE = ((2026 - 1980) << 9) | (3 << 5) | 14
DOS_TIME = (9 << 11) | (5 << 5)


def cabinet(files, folders, blocks, mszip):
    """files: (name, length, offset, folder); folder 0 holds the blocks, the rest are empty."""
    entries = b"".join(struct.pack("<IIHHHH", length, offset, folder, DOS_DATE, DOS_TIME, 0x20)
                       + name + b"\0" for name, length, offset, folder in files)
    coff_files = 36 + 8 * folders
    data_start = coff_files + len(entries)
    data = b"".join(struct.pack("<IHH", 0, len(packed), unpacked) + packed
                    for packed, unpacked in blocks)
    head = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, data_start + len(data), 0, coff_files, 0,
                                 3, 1, folders, len(files), 0, 0x1234, 0)
    fols = b"".join(struct.pack("<IHH", data_start, len(blocks) if i == 0 else 0, 1 if mszip else 0)
                    for i in range(folders))
    return head + fols + entries + data


def mszip_zeros():
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return b"CK" + c.compress(b"\0" * 32768) + c.flush()


def main():
    kind, out = sys.argv[1], sys.argv[2]
    if kind == "bomb":
        blocks = [(mszip_zeros(), 32768)] * 65535
        files = [(b"zephrin1.000", 524, 0, 0), (b"tdywater.001", 65535 * 32768 - 1024, 1024, 0)]
        data = cabinet(files, 1, blocks, True)
    else:
        files = [(b"%05d.txt" % i, 0, 0, i) for i in range(65535)]
        data = cabinet(files, 65535, [], False)
    with open(out, "wb") as f:
        f.write(data)


main()
