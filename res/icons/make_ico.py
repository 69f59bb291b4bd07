#!/usr/bin/env python3
"""Builds the Windows icon file from the drawn PNG images.

    make_ico.py OUTPUT.ico IMAGE.png...

An image drawn with a palette of at most 16 colours (the 16 and 32 pixel
ones) is stored as a 16-colour bitmap, palette index 0 being the transparent
one; any other below 256 pixels as a 32-bit bitmap with alpha; 256 pixels as
the PNG itself, as Explorer expects. Windows picks the size a window's DPI
asks for (16, 20, 24, 32, 40, 48, 64, 256 pixels), so none is stretched;
the sizes not drawn by hand are rendered from the scalable picture:

    rsvg-convert -w SIZE -h SIZE org.meravel.Meravel.svg -o meravel-SIZE.png

Plain Python: no imaging library needed.
"""

import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("%s: not a PNG file" % path)
    pos, chunks, idat = 8, {}, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IDAT":
            idat += body
        else:
            chunks[kind] = body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    if depth != 8 or colour not in (3, 6) or interlace:
        raise SystemExit("%s: expected an 8-bit palette or RGBA image, not interlaced" % path)
    channels = 1 if colour == 3 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    palette = chunks.get(b"PLTE", b"")
    alpha = chunks.get(b"tRNS", b"")
    return {"width": width, "height": height, "colour": colour, "rows": rows, "palette": palette,
            "alpha": alpha, "data": data}


def bitmap_header(width, height, bits, colours):
    # The height counts the colour image and the transparency mask together.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def and_mask(width, height, transparent):
    stride = ((width + 31) // 32) * 4
    out = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def sixteen_colours(png):
    width, height, rows = png["width"], png["height"], png["rows"]
    colours = len(png["palette"]) // 3
    if png["colour"] != 3 or colours > 16:
        raise SystemExit("the %d pixel image must use a palette of at most 16 colours" % width)
    palette = b""
    for i in range(16):
        r, g, b = png["palette"][i * 3:i * 3 + 3] if i < colours else (0, 0, 0)
        palette += bytes((b, g, r, 0))
    clear = [i < len(png["alpha"]) and png["alpha"][i] == 0 for i in range(256)]
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            index = 0 if clear[rows[y][x]] else rows[y][x]
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(row)
    mask = and_mask(width, height, lambda x, y: clear[rows[y][x]])
    return bitmap_header(width, height, 4, 16) + palette + pixels + mask


def true_colour(png):
    width, height, rows = png["width"], png["height"], png["rows"]
    if png["colour"] != 6:
        raise SystemExit("the %d pixel image must be RGBA" % width)
    pixels = b""
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b, a = rows[y][x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
    mask = and_mask(width, height, lambda x, y: rows[y][x * 4 + 3] == 0)
    return bitmap_header(width, height, 32, 0) + pixels + mask


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    output = argv[1]
    images = []
    for path in argv[2:]:
        png = read_png(path)
        if png["colour"] == 3:
            images.append((png["width"], png["height"], 16, 4, sixteen_colours(png)))
        else:
            body = png["data"] if png["width"] >= 256 else true_colour(png)
            images.append((png["width"], png["height"], 0, 32, body))
    images.sort(key=lambda image: image[0])
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    directory, bodies = b"", b""
    for width, height, colours, bits, body in images:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bits, len(body), offset)
        offset += len(body)
        bodies += body
    with open(output, "wb") as f:
        f.write(header + directory + bodies)


if __name__ == "__main__":
    main(sys.argv)
