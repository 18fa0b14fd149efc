#!/usr/bin/env python3
"""Writes the case table resource of the Unicode unit from the Unicode Character Database.

Usage: make-case-table.py UCD_FOLDER OUTPUT (Debian's unicode-data package installs the folder as
/usr/share/unicode). The table is committed; run this only to move to another Unicode version.

Layout (little-endian): a 32-bit entry count, then per code point that has a mapping of any kind
its 3-byte code point and four groups (fold, lower, title, upper), each a count byte and that many
3-byte code points; a count of 0 maps the code point to itself.
"""
import os
import struct
import sys


def fields(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield [x.strip() for x in line.split(";")]


def cps(text):
    return [int(x, 16) for x in text.split()]


def main(ucd, out):
    lower, title, upper, fold = {}, {}, {}, {}
    for f in fields(os.path.join(ucd, "UnicodeData.txt")):
        c = int(f[0], 16)
        if f[12]:
            upper[c] = [int(f[12], 16)]
        if f[13]:
            lower[c] = [int(f[13], 16)]
        if f[14]:
            title[c] = [int(f[14], 16)]
    # Unconditional full mappings replace the simple ones; conditional ones (final sigma,
    # language rules) are left out, as a mapping of single code units cannot apply them.
    for f in fields(os.path.join(ucd, "SpecialCasing.txt")):
        if len(f) > 4 and f[4]:
            continue
        c = int(f[0], 16)
        lower[c], title[c], upper[c] = cps(f[1]), cps(f[2]), cps(f[3])
    for f in fields(os.path.join(ucd, "CaseFolding.txt")):
        if f[1] in ("C", "F"):
            fold[int(f[0], 16)] = cps(f[2])
    entries = []
    for c in sorted(set(lower) | set(title) | set(upper) | set(fold)):
        groups = [m.get(c, [c]) for m in (fold, lower, title, upper)]
        groups = [[] if g == [c] else g for g in groups]
        if any(groups):
            entries.append((c, groups))
    data = bytearray(struct.pack("<I", len(entries)))
    for c, groups in entries:
        data += c.to_bytes(3, "little")
        for g in groups:
            data.append(len(g))
            for x in g:
                data += x.to_bytes(3, "little")
    with open(out, "wb") as f:
        f.write(data)
    print(f"{len(entries)} entries, {entries[0][0]:#x} to {entries[-1][0]:#x}, {len(data)} bytes")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
