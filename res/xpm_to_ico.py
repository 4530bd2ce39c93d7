#!/usr/bin/env python3
"""Writes a Windows .ico holding one image per XPM picture given, in the order given.

Pictures of up to 16 colours are stored with 4 bits per pixel, up to 256 with 8, others
with 32; a "None" colour becomes transparent through the icon's AND mask.

usage: xpm_to_ico.py OUTPUT.ico PICTURE.xpm [PICTURE.xpm ...]
"""

import re
import struct
import sys

# The colour names an XPM drawn by hand is likely to use.
NAMED_COLOURS = {
    "black": (0, 0, 0), "white": (255, 255, 255), "red": (255, 0, 0), "green": (0, 128, 0),
    "lime": (0, 255, 0), "blue": (0, 0, 255), "yellow": (255, 255, 0), "cyan": (0, 255, 255),
    "magenta": (255, 0, 255), "gray": (128, 128, 128), "grey": (128, 128, 128),
    "darkgray": (64, 64, 64), "darkgrey": (64, 64, 64), "lightgray": (192, 192, 192),
    "lightgrey": (192, 192, 192), "navy": (0, 0, 128), "maroon": (128, 0, 0),
    "olive": (128, 128, 0), "teal": (0, 128, 128), "purple": (128, 0, 128),
    "silver": (192, 192, 192), "orange": (255, 165, 0), "brown": (165, 42, 42),
}


class XpmError(Exception):
    pass


def parse_colour(text):
    text = text.strip()
    lowered = text.lower().replace(" ", "")
    if lowered == "none":
        return None
    if text.startswith("#"):
        digits = text[1:]
        if len(digits) not in (3, 6, 12) or not re.fullmatch(r"[0-9A-Fa-f]+", digits):
            raise XpmError(f"colour {text!r} is not #RGB, #RRGGBB or #RRRRGGGGBBBB")
        step = len(digits) // 3
        channels = [digits[i * step:(i + 1) * step] for i in range(3)]
        return tuple(int(c, 16) * 255 // (16 ** step - 1) for c in channels)
    if lowered in NAMED_COLOURS:
        return NAMED_COLOURS[lowered]
    raise XpmError(f"unknown colour name {text!r}")


def read_xpm(path):
    """Returns (width, height, rows of RGB tuples or None)."""
    with open(path, encoding="latin-1") as f:
        text = f.read()
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', text)
    if not strings:
        raise XpmError(f"{path}: no XPM strings")
    header = strings[0].split()
    if len(header) < 4:
        raise XpmError(f"{path}: header {strings[0]!r} lacks width, height, colours, chars per pixel")
    width, height, colours, per_pixel = (int(v) for v in header[:4])
    if len(strings) < 1 + colours + height:
        raise XpmError(f"{path}: {len(strings)} strings, expected {1 + colours + height}")
    palette = {}
    for line in strings[1:1 + colours]:
        key, rest = line[:per_pixel], line[per_pixel:]
        # Keys come as pairs "<context> <colour>"; the colour context c is the one used.
        match = re.search(r"(?:^|\s)c\s+(.+?)(?=\s+(?:m|s|g4|g)\s|$)", rest)
        if not match:
            raise XpmError(f"{path}: colour line {line!r} has no c colour")
        palette[key] = parse_colour(match.group(1))
    rows = []
    for line in strings[1 + colours:1 + colours + height]:
        if len(line) != width * per_pixel:
            raise XpmError(f"{path}: row {line!r} is not {width} pixels wide")
        try:
            rows.append([palette[line[i:i + per_pixel]] for i in range(0, len(line), per_pixel)])
        except KeyError as missing:
            raise XpmError(f"{path}: pixel {missing} has no colour") from None
    return width, height, rows


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pack_bits(values, bits):
    """Packs small integers, most significant first, into bytes."""
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, v in enumerate(values[i:i + per_byte]):
            byte |= v << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def icon_image(width, height, rows):
    """Returns (bits per pixel, colour count for the directory entry, image bytes)."""
    colours = sorted({p for row in rows for p in row if p is not None})
    if len(colours) <= 16:
        bits = 4
    elif len(colours) <= 256:
        bits = 8
    else:
        bits = 32
    xor_rows, and_rows = [], []
    if bits == 32:
        palette_bytes = b""
        for row in reversed(rows):  # bottom-up, as device-independent bitmaps are stored
            xor_rows.append(b"".join(
                struct.pack("<BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0" for p in row))
    else:
        table = colours + [(0, 0, 0)] * ((1 << bits) - len(colours))
        index = {c: i for i, c in enumerate(table[:len(colours)])}
        palette_bytes = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in table)
        for row in reversed(rows):
            xor_rows.append(padded(pack_bits([index[p] if p else 0 for p in row], bits)))
    for row in reversed(rows):
        and_rows.append(padded(pack_bits([1 if p is None else 0 for p in row], 1)))
    xor_bytes, and_bytes = b"".join(xor_rows), b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(xor_bytes) + len(and_bytes), 0, 0, 0 if bits == 32 else 1 << bits, 0)
    count = (1 << bits) if bits < 8 else 0
    return bits, count, header + palette_bytes + xor_bytes + and_bytes


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    output, pictures = argv[1], argv[2:]
    try:
        images = []
        for path in pictures:
            width, height, rows = read_xpm(path)
            if not (1 <= width <= 256 and 1 <= height <= 256):
                raise XpmError(f"{path}: {width}x{height} does not fit an icon")
            images.append((width, height) + icon_image(width, height, rows))
    except (OSError, ValueError, XpmError) as error:
        sys.stderr.write(f"xpm_to_ico: {error}\n")
        return 1
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for width, height, bits, count, image in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, count, 0, 1, bits, len(image), offset)
        offset += len(image)
        data += image
    with open(output, "wb") as f:
        f.write(directory + entries + data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
