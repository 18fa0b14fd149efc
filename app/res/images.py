#!/usr/bin/env python3
"""The main window's pictograms (ImageList1.txt beside this file) as the image list's data in the
main window's form file and as the program's icon (QuarnelBackup.ico: image 24 at 16 and 32 pixels).

    images.py           rewrites both
    images.py --check   only says whether both are up to date (exit status 1 when not)
"""
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent
ART = HERE / "ImageList1.txt"
ICON = HERE / "QuarnelBackup.ico"
FORM = HERE.parent.parent / "forms" / "TfrmSetting.dfm"
SIDE = 16
ICON_IMAGE = 24
OBJECT_LINE = "  object ImageList1: TImageList\n"
HEX_PER_LINE = 64


def read_art():
    """Images by index, each a list of rows of (r, g, b) or None for a transparent pixel."""
    colours = {".": None}
    images = {}
    current = None
    for number, line in enumerate(ART.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        words = line.split()
        if words[0] == "colour":
            colours[words[1]] = tuple(int(words[2][i:i + 2], 16) for i in (0, 2, 4))
        elif words[0] == "image":
            current = images.setdefault(int(words[1]), [])
        else:
            if current is None or len(line) != SIDE or len(current) == SIDE:
                sys.exit(f"{ART}:{number}: a row of {SIDE} pixels inside an image is expected")
            try:
                current.append([colours[c] for c in line])
            except KeyError as e:
                sys.exit(f"{ART}:{number}: no colour {e}")
    for index, rows in images.items():
        if len(rows) != SIDE:
            sys.exit(f"{ART}: image {index} has {len(rows)} rows")
    return images


def list_data(images):
    """The list's stream: "QIL1", count, width, height, masked; per image its pixels top-down as
    blue, green, red, 0 (transparent ones black) and one byte per pixel, 1 where transparent."""
    count = max(images) + 1
    out = bytearray(b"QIL1" + struct.pack("<4i", count, SIDE, SIDE, 1))
    empty = [[None] * SIDE for _ in range(SIDE)]
    for index in range(count):
        rows = images.get(index, empty)
        for row in rows:
            for p in row:
                out += bytes((p[2], p[1], p[0], 0)) if p else bytes(4)
        out += bytes(1 if p is None else 0 for row in rows for p in row)
    return bytes(out)


def form_text(data):
    text = FORM.read_text(encoding="latin-1")
    start = text.find(OBJECT_LINE)
    end = text.find("\n  end\n", start)
    if start < 0 or end < 0:
        sys.exit(f"{FORM}: no ImageList1 object")
    hexes = data.hex().upper()
    lines = ["    Bitmap = {"] + ["      " + hexes[i:i + HEX_PER_LINE] for i in range(0, len(hexes), HEX_PER_LINE)]
    lines[-1] += "}"
    return text[:start] + OBJECT_LINE + "\n".join(lines) + text[end:]


def icon_image(rows, scale):
    """One icon image: its header, the pixels bottom-up as 32-bit BGRA and the AND mask."""
    side = SIDE * scale
    big = [[rows[y // scale][x // scale] for x in range(side)] for y in range(side)]
    pixels = bytearray()
    mask = bytearray()
    stride = ((side + 31) // 32) * 4
    for row in reversed(big):
        for p in row:
            pixels += bytes((p[2], p[1], p[0], 255)) if p else bytes(4)
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, side, side * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return side, header + pixels + mask


def icon_file(images):
    parts = [icon_image(images[ICON_IMAGE], scale) for scale in (1, 2)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(parts)))
    offset = 6 + 16 * len(parts)
    for side, body in parts:
        out += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    for _, body in parts:
        out += body
    return bytes(out)


def main():
    check = sys.argv[1:] == ["--check"]
    images = read_art()
    wanted = {FORM: form_text(list_data(images)).encode("latin-1"), ICON: icon_file(images)}
    stale = [p for p, b in wanted.items() if not p.exists() or p.read_bytes() != b]
    if check:
        for p in stale:
            print(f"{p} is not what {ART.name} gives: run {pathlib.Path(__file__).name}")
        return 1 if stale else 0
    for p in stale:
        p.write_bytes(wanted[p])
        print(f"wrote {p}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
