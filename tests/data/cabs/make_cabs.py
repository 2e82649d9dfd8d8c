#!/usr/bin/env python3
"""Writes the deliberately broken and hostile cabinets kept as test files.

broken/*.cab must make every operation fail with "Invalid data." (or, for the empty file,
with the reader's error) before anything is written; hostile/*.cab are well-formed but name
members that would land outside the output folder: only their safe members are written.
Run once; the files are committed."""
import os
import struct

DOS_DATE = ((2026 - 1980) << 9) | (3 << 5) | 14
DOS_TIME = (9 << 11) | (5 << 5)


def cab(members, *, folder_blocks=None, coff_override=None, file_len_override=None,
        file_off_override=None, block_uncomp_override=None, truncate=None, folders=1):
    """members: list of (name bytes, data bytes), one uncompressed folder, one data block."""
    data = b"".join(d for _, d in members)
    files = b""
    off = 0
    for i, (name, d) in enumerate(members):
        length = len(d) if file_len_override is None or i != 0 else file_len_override
        start = off if file_off_override is None or i != 0 else file_off_override
        files += struct.pack("<IIHHHH", length, start, 0, DOS_DATE, DOS_TIME, 0x20) + name + b"\0"
        off += len(d)
    header_len = 36
    folder_len = 8 * folders
    coff_files = header_len + folder_len
    data_start = coff_files + len(files)
    uncomp = len(data) if block_uncomp_override is None else block_uncomp_override
    block = struct.pack("<IHH", 0, len(data), uncomp) + data
    total = data_start + len(block)
    blocks = 1 if folder_blocks is None else folder_blocks
    coff = data_start if coff_override is None else coff_override
    head = b"MSCF" + struct.pack("<IIIIIBBHHHHH", 0, total, 0, coff_files, 0, 3, 1, folders,
                                 len(members), 0, 0x1234, 0)
    fol = struct.pack("<IHH", coff, blocks, 0) * folders
    out = head + fol + files + block
    if truncate is not None:
        out = out[:truncate]
    return out


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


good = [(b"a.txt", b"alpha\n"), (b"b.txt", b"bravo bravo\n")]
whole = cab(good)

write("broken/empty.cab", b"")
write("broken/not-a-cabinet.cab", b"This is not a cabinet at all, just some text.\n" * 4)
write("broken/truncated-header.cab", whole[:20])
write("broken/truncated-files.cab", whole[:50])
write("broken/truncated-data.cab", whole[:len(whole) - 5])
write("broken/data-offset-past-end.cab", cab(good, coff_override=0x7FFFFFF0))
write("broken/huge-file-length.cab", cab(good, file_len_override=0xFFFFFFF0))
write("broken/file-offset-past-folder.cab", cab(good, file_off_override=0x40000000))
write("broken/too-many-blocks.cab", cab(good, folder_blocks=65535))
write("broken/block-larger-than-32k.cab", cab(good, block_uncomp_override=0xFFFF))

write("hostile/dotdot.cab", cab([(b"..\\evil.txt", b"evil\n"), (b"good.txt", b"good\n")]))
write("hostile/absolute.cab", cab([(b"\\tmp\\evil.txt", b"evil\n"), (b"good.txt", b"good\n")]))
write("hostile/nested-dotdot.cab",
      cab([(b"sub\\..\\..\\evil.txt", b"evil\n"), (b"good.txt", b"good\n")]))
write("hostile/drive.cab", cab([(b"C:\\evil.txt", b"evil\n"), (b"good.txt", b"good\n")]))
write("hostile/long-name.cab", cab([(b"x" * 120 + b"\\" + b"y" * 130, b"evil\n"),
                                    (b"good.txt", b"good\n")]))
