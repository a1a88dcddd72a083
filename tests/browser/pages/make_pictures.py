#!/usr/bin/env python3
"""Draws the pictures of the test pages in this folder, one of each kind
the page view reads: a GIF with a transparent colour (logo.gif), a JPEG
photograph-like scene (photo.jpg), a PNG with soft alpha (badge.png), a
24-bit BMP (button.bmp), an 8-bit BMP tile (tile.bmp) and the image map's
picture (map.gif). Everything is drawn from scratch, so the files are the
same on every machine; run it again after changing a picture
(python3 tests/browser/pages/make_pictures.py)."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


class Canvas:
    def __init__(self, width, height, fill=(255, 255, 255, 255)):
        self.width, self.height = width, height
        self.px = [list(fill) for _ in range(width * height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y * self.width + x] = list(c)

    def get(self, x, y):
        return self.px[y * self.width + x]

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def triangle(self, pts, c):
        (ax, ay), (bx, by), (cx, cy) = pts
        for y in range(min(ay, by, cy), max(ay, by, cy) + 1):
            for x in range(min(ax, bx, cx), max(ax, bx, cx) + 1):
                px, py = x + 0.5, y + 0.5
                d1 = (px - bx) * (ay - by) - (ax - bx) * (py - by)
                d2 = (px - cx) * (by - cy) - (bx - cx) * (py - cy)
                d3 = (px - ax) * (cy - ay) - (cx - ax) * (py - ay)
                neg = d1 < 0 or d2 < 0 or d3 < 0
                pos = d1 > 0 or d2 > 0 or d3 > 0
                if not (neg and pos):
                    self.set(x, y, c)


# A 5 x 7 font for the words the pictures carry.
FONT = {
    "A": "01110 10001 10001 11111 10001 10001 10001", "B": "11110 10001 10001 11110 10001 10001 11110",
    "C": "01111 10000 10000 10000 10000 10000 01111", "D": "11110 10001 10001 10001 10001 10001 11110",
    "E": "11111 10000 10000 11110 10000 10000 11111", "G": "01111 10000 10000 10111 10001 10001 01111",
    "H": "10001 10001 10001 11111 10001 10001 10001", "I": "11111 00100 00100 00100 00100 00100 11111",
    "L": "10000 10000 10000 10000 10000 10000 11111", "M": "10001 11011 10101 10101 10001 10001 10001",
    "N": "10001 11001 10101 10011 10001 10001 10001", "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000", "Q": "01110 10001 10001 10001 10101 10010 01101",
    "R": "11110 10001 10001 11110 10100 10010 10001", "S": "01111 10000 10000 01110 00001 00001 11110",
    "T": "11111 00100 00100 00100 00100 00100 00100", "U": "10001 10001 10001 10001 10001 10001 01110",
    "V": "10001 10001 10001 10001 10001 01010 00100", " ": "00000 00000 00000 00000 00000 00000 00000",
}


def text(canvas, x, y, words, c, scale=1):
    for ch in words:
        rows = FONT[ch].split()
        for ry, row in enumerate(rows):
            for rx, bit in enumerate(row):
                if bit == "1":
                    canvas.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, c)
        x += 6 * scale


# ---- writers ------------------------------------------------------------------

def write_bmp24(path, canvas):
    stride = (canvas.width * 3 + 3) & ~3
    rows = b""
    for y in range(canvas.height - 1, -1, -1):
        row = b"".join(bytes((p[2], p[1], p[0])) for p in canvas.px[y * canvas.width:(y + 1) * canvas.width])
        rows += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    open(path, "wb").write(header + info + rows)


def palette_of(canvas):
    colours = []
    for p in canvas.px:
        c = tuple(p[:3])
        if c not in colours:
            colours.append(c)
    assert len(colours) <= 256
    return colours


def write_bmp8(path, canvas):
    colours = palette_of(canvas)
    stride = (canvas.width + 3) & ~3
    rows = b""
    for y in range(canvas.height - 1, -1, -1):
        row = bytes(colours.index(tuple(p[:3])) for p in canvas.px[y * canvas.width:(y + 1) * canvas.width])
        rows += row + b"\0" * (stride - len(row))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * 4 * (256 - len(colours))
    offset = 54 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    open(path, "wb").write(header + info + pal + rows)


def write_png(path, canvas):
    raw = b""
    for y in range(canvas.height):
        raw += b"\0" + b"".join(bytes(p) for p in canvas.px[y * canvas.width:(y + 1) * canvas.width])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                           chunk(b"IEND", b""))


def lzw(indices, min_code):
    clear, end = 1 << min_code, (1 << min_code) + 1
    out, acc, bits = bytearray(), 0, 0
    size = min_code + 1

    def emit(code):
        nonlocal acc, bits
        acc |= code << bits
        bits += size
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear)
    w = ()
    for k in indices:
        wk = w + (k,)
        if wk in table:
            w = wk
            continue
        emit(table[w])
        if next_code < 4096:
            table[wk] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            size = min_code + 1
        w = (k,)
    if w:
        emit(table[w])
    emit(end)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def write_gif(path, canvas, transparent=None, interlace=False):
    colours = palette_of(canvas)
    if transparent is not None and transparent not in colours:
        colours.append(transparent)
    depth = max(1, math.ceil(math.log2(max(2, len(colours)))))
    table = colours + [(0, 0, 0)] * ((1 << depth) - len(colours))
    rows = list(range(canvas.height))
    if interlace:
        rows = list(range(0, canvas.height, 8)) + list(range(4, canvas.height, 8)) + \
               list(range(2, canvas.height, 4)) + list(range(1, canvas.height, 2))
    indices = []
    for y in rows:
        indices += [colours.index(tuple(p[:3])) for p in canvas.px[y * canvas.width:(y + 1) * canvas.width]]
    min_code = max(2, depth)
    data = lzw(indices, min_code)
    blocks = b"".join(bytes((len(data[i:i + 255]),)) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\0"
    out = b"GIF89a" + struct.pack("<HHBBB", canvas.width, canvas.height, 0x80 | (depth - 1), 0, 0)
    out += b"".join(bytes(c) for c in table)
    if transparent is not None:
        out += b"\x21\xf9\x04\x01\x00\x00" + bytes((colours.index(transparent),)) + b"\0"
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, canvas.width, canvas.height, 0x40 if interlace else 0)
    out += bytes((min_code,)) + blocks + b"\x3b"
    open(path, "wb").write(out)


# A baseline JPEG: 4:4:4 YCbCr, the standard tables at quality 85.
ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7,
          14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46,
          53, 60, 61, 54, 47, 55, 62, 63]
LUMA = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22,
        29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103,
        121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99,
          99, 99, 99, 99, 99] + [99] * 32
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435363738"
    "393a434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5"
    "a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9fa"))
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728292a353637"
    "38393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a92939495969798999aa2a3"
    "a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4f5f6f7f8f9fa"))


def huffman_codes(spec):
    counts, symbols = spec
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


def write_jpeg(path, canvas, quality=85):
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    q = [[max(1, min(255, (v * scale + 50) // 100)) for v in t] for t in (LUMA, CHROMA)]
    codes = [(huffman_codes(DC_LUMA), huffman_codes(AC_LUMA)), (huffman_codes(DC_CHROMA), huffman_codes(AC_CHROMA))]
    cos = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]
    out = bytearray()
    acc, bits = 0, 0

    def put(code, length):
        nonlocal acc, bits
        acc = (acc << length) | code
        bits += length
        while bits >= 8:
            byte = (acc >> (bits - 8)) & 0xFF
            out.append(byte)
            if byte == 0xFF:
                out.append(0)
            bits -= 8

    def category(v):
        v = abs(v)
        n = 0
        while v:
            v >>= 1
            n += 1
        return n

    def bits_of(v, n):
        return v if v >= 0 else v + (1 << n) - 1

    previous = [0, 0, 0]
    for by in range(0, canvas.height, 8):
        for bx in range(0, canvas.width, 8):
            planes = [[0.0] * 64 for _ in range(3)]
            for y in range(8):
                for x in range(8):
                    r, g, b = canvas.get(min(bx + x, canvas.width - 1), min(by + y, canvas.height - 1))[:3]
                    planes[0][y * 8 + x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
                    planes[1][y * 8 + x] = -0.168736 * r - 0.331264 * g + 0.5 * b
                    planes[2][y * 8 + x] = 0.5 * r - 0.418688 * g - 0.081312 * b
            for comp in range(3):
                table = q[0 if comp == 0 else 1]
                dc_codes, ac_codes = codes[0 if comp == 0 else 1]
                block = planes[comp]
                coeffs = []
                for u in range(8):
                    for v in range(8):
                        s = 0.0
                        for y in range(8):
                            row = block[y * 8:(y + 1) * 8]
                            cy = cos[u][y]
                            for x in range(8):
                                s += row[x] * cos[v][x] * cy
                        cu = 1 / math.sqrt(2) if u == 0 else 1
                        cv = 1 / math.sqrt(2) if v == 0 else 1
                        coeffs.append(0.25 * cu * cv * s)
                quant = [int(round(coeffs[ZIGZAG[i]] / table[ZIGZAG[i]])) for i in range(64)]
                diff = quant[0] - previous[comp]
                previous[comp] = quant[0]
                n = category(diff)
                put(*dc_codes[n])
                if n:
                    put(bits_of(diff, n), n)
                run = 0
                for i in range(1, 64):
                    v = quant[i]
                    if v == 0:
                        run += 1
                        continue
                    while run > 15:
                        put(*ac_codes[0xF0])
                        run -= 16
                    n = category(v)
                    put(*ac_codes[(run << 4) | n])
                    put(bits_of(v, n), n)
                    run = 0
                if run:
                    put(*ac_codes[0x00])
    if bits:
        put((1 << (8 - bits)) - 1, 8 - bits)

    def segment(marker, data):
        return bytes((0xFF, marker)) + struct.pack(">H", len(data) + 2) + data

    head = b"\xff\xd8" + segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
    for i, t in enumerate(q):
        head += segment(0xDB, bytes((i,)) + bytes(t[ZIGZAG[k]] for k in range(64)))
    head += segment(0xC0, struct.pack(">BHHB", 8, canvas.height, canvas.width, 3) + b"\x01\x11\x00\x02\x11\x01\x03\x11\x01")
    for cls, index, spec in ((0, 0, DC_LUMA), (1, 0, AC_LUMA), (0, 1, DC_CHROMA), (1, 1, AC_CHROMA)):
        head += segment(0xC4, bytes(((cls << 4) | index,)) + bytes(spec[0]) + bytes(spec[1]))
    head += segment(0xDA, b"\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00")
    open(path, "wb").write(head + bytes(out) + b"\xff\xd9")


# ---- the pictures -------------------------------------------------------------

def logo():
    # The disc's logo: a disc with a hole and a word beside it, on nothing.
    c = Canvas(160, 48, (255, 255, 255, 255))
    c.disc(24, 24, 21, (40, 70, 140, 255))
    c.disc(24, 24, 12, (120, 160, 220, 255))
    c.disc(24, 24, 5, (255, 255, 255, 255))
    text(c, 54, 17, "QUORVEL", (40, 70, 140, 255), 2)
    return c


def photo():
    # A hill under a sky with the sun: smooth colours for the JPEG.
    c = Canvas(160, 120)
    for y in range(120):
        for x in range(160):
            sky = (int(110 + y * 0.8), int(160 + y * 0.6), 235)
            hill = 85 + 18 * math.sin(x / 23.0)
            if y > hill:
                g = int(150 - (y - hill) * 0.9)
                c.set(x, y, (60, max(60, g), 50, 255))
            else:
                c.set(x, y, sky + (255,))
    c.disc(120, 30, 14, (250, 225, 90, 255))
    return c


def badge():
    # A round badge that fades out at its rim: alpha for the PNG.
    c = Canvas(64, 64, (0, 0, 0, 0))
    for y in range(64):
        for x in range(64):
            d = math.hypot(x + 0.5 - 32, y + 0.5 - 32)
            if d < 30:
                a = 255 if d < 24 else int(255 * (30 - d) / 6)
                c.set(x, y, (200, 40, 40, a))
    text(c, 20, 28, "NEU", (255, 255, 255, 255))
    return c


def button():
    c = Canvas(96, 28, (212, 208, 200, 255))
    c.rect(0, 0, 96, 1, (255, 255, 255, 255))
    c.rect(0, 0, 1, 28, (255, 255, 255, 255))
    c.rect(0, 27, 96, 28, (64, 64, 64, 255))
    c.rect(95, 0, 96, 28, (64, 64, 64, 255))
    c.triangle([(10, 8), (10, 20), (20, 14)], (0, 110, 0, 255))
    text(c, 28, 10, "START", (0, 0, 0, 255))
    return c


def tile():
    # A quiet paper pattern, repeated behind a page.
    c = Canvas(32, 32, (246, 242, 228, 255))
    for y in range(32):
        for x in range(32):
            if (x * 7 + y * 3) % 11 == 0:
                c.set(x, y, (232, 226, 204, 255))
    c.rect(0, 31, 32, 32, (236, 230, 210, 255))
    return c


def map_picture():
    # Three shapes, each an area of the map: a rectangle, a circle, a triangle.
    c = Canvas(300, 100, (250, 250, 250, 255))
    c.rect(10, 10, 90, 90, (200, 60, 60, 255))
    c.disc(150, 50, 40, (60, 140, 60, 255))
    c.triangle([(210, 90), (250, 10), (290, 90)], (60, 60, 200, 255))
    return c


if __name__ == "__main__":
    write_gif(os.path.join(HERE, "logo.gif"), logo(), transparent=(255, 255, 255), interlace=True)
    write_jpeg(os.path.join(HERE, "photo.jpg"), photo())
    write_png(os.path.join(HERE, "badge.png"), badge())
    write_bmp24(os.path.join(HERE, "button.bmp"), button())
    write_bmp8(os.path.join(HERE, "tile.bmp"), tile())
    write_gif(os.path.join(HERE, "map.gif"), map_picture())
