"""Writers of picture files for the project's drawing scripts: BMP (8 and
24 bits), PNG (RGBA), GIF (a palette, a transparent colour, interlacing)
and baseline JPEG, each from rows of pixel tuples, (r, g, b) or
(r, g, b, a), top row first. Written out by hand so that the files come
out the same on every machine; the scripts import this module by its path."""

import math
import struct
import zlib

def size_of(rows):
    return (len(rows[0]) if rows else 0), len(rows)


def write_bmp24(path, rows):
    width, height = size_of(rows)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def palette_of(path, rows):
    """The colours of the picture in the order they first appear."""
    colours, index = [], {}
    for row in rows:
        for p in row:
            c = tuple(p[:3])
            if c not in index:
                index[c] = len(colours)
                colours.append(c)
    if len(colours) > 256:
        raise SystemExit(f"{path}: {len(colours)} colours do not fit a palette")
    return colours, index


def write_bmp8(path, rows):
    """An 8-bit palettised BMP (bottom-up rows padded to four bytes)."""
    width, height = size_of(rows)
    colours, index = palette_of(path, rows)
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        data += bytes(index[tuple(p[:3])] for p in row) + b"\0" * (stride - width)
    palette = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in colours)
    palette += b"\0" * (4 * (256 - len(colours)))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def write_png(path, rows):
    """8-bit RGBA; pixels without alpha are opaque."""
    width, height = size_of(rows)
    raw = b""
    for row in rows:
        raw += b"\0" + b"".join(bytes(tuple(p[:3]) + ((p[3],) if len(p) > 3 else (255,))) for p in row)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


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


def write_gif(path, rows, transparent=None, interlace=False):
    """A GIF89a; `transparent` names the colour that shows nothing."""
    width, height = size_of(rows)
    colours, index = palette_of(path, rows)
    if transparent is not None and transparent not in index:
        index[transparent] = len(colours)
        colours.append(transparent)
    depth = max(1, math.ceil(math.log2(max(2, len(colours)))))
    table = colours + [(0, 0, 0)] * ((1 << depth) - len(colours))
    order = list(range(height))
    if interlace:
        order = list(range(0, height, 8)) + list(range(4, height, 8)) + list(range(2, height, 4)) + \
                list(range(1, height, 2))
    indices = []
    for y in order:
        indices += [index[tuple(p[:3])] for p in rows[y]]
    min_code = max(2, depth)
    data = lzw(indices, min_code)
    blocks = b"".join(bytes((len(data[i:i + 255]),)) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\0"
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (depth - 1), 0, 0)
    out += b"".join(bytes(c) for c in table)
    if transparent is not None:
        out += b"\x21\xf9\x04\x01\x00\x00" + bytes((index[transparent],)) + b"\0"
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0x40 if interlace else 0)
    out += bytes((min_code,)) + blocks + b"\x3b"
    with open(path, "wb") as f:
        f.write(out)


# JPEG's zigzag order, the standard quantisation tables and Huffman tables.
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


def write_jpeg(path, rows, quality=85):
    """Baseline, 4:4:4 YCbCr, the standard tables scaled to `quality`."""
    width, height = size_of(rows)
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
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            planes = [[0.0] * 64 for _ in range(3)]
            for y in range(8):
                for x in range(8):
                    r, g, b = rows[min(by + y, height - 1)][min(bx + x, width - 1)][:3]
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
    head += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + b"\x01\x11\x00\x02\x11\x01\x03\x11\x01")
    for cls, index, spec in ((0, 0, DC_LUMA), (1, 0, AC_LUMA), (0, 1, DC_CHROMA), (1, 1, AC_CHROMA)):
        head += segment(0xC4, bytes(((cls << 4) | index,)) + bytes(spec[0]) + bytes(spec[1]))
    head += segment(0xDA, b"\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00")
    with open(path, "wb") as f:
        f.write(head + bytes(out) + b"\xff\xd9")


