#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/: small settings
files and pictures made here byte by byte (JPEG, WebP and TIFF by ImageMagick's
convert when it is there). Run it again after changing it; the files are committed."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# Settings files --------------------------------------------------------------------

def ini_seeds():
    write("ini", "utf8-crlf.ini",
          b"[DATA]\r\nTEXT=Hello%rWorld\r\nFontName=IPAGothic\r\nFontSize=12.5\r\n"
          b"FontBold=True\r\nFontItalic=0\r\nColor=16711680\r\nXPOS=100.5\r\nYPOS=-3\r\n"
          b"XPOS2=2.5\r\nYPOS2=3.5\r\nPICTURE=1\r\nPICTUREFILE=\"/tmp/picture.bmp\"\r\n")
    shift_jis = "テキスト①ⅰ".encode("cp932")  # with an NEC and an IBM extension
    write("ini", "shift-jis.ini",
          b"[DATA]\nTEXT=" + shift_jis + b"\nFontName=" + "ＭＳ ゴシック".encode("cp932") +
          b"\nFontSize=9\n")
    write("ini", "bom-comments.ini",
          b"\xef\xbb\xbf; comment\n[Other]\nx=1\n\n[data]\n  FontItalic = 'yes' \nkey only\n"
          b"[DATA]\nTEXT=second section\n")
    write("ini", "cr-change.ini",
          b"[DATA]\rXPOS2=1e3\rYPOS2=.5\r[DATA\rFontBold=-1\rDATA|TEXT|  \"quoted\" ")
    write("ini", "new-section.ini", b"[DATA]\nTEXT=a\n\nNew|Key|value with | bar")
    write("ini", "broken-bytes.ini",
          b"[DATA]\nTEXT=\x82\n\xff\xfe=\x80\x81\nFontName=\xe3\x81\n=empty key\n[]\n")
    write("ini", "empty-value.ini", b"[DATA]\nFontSize=\nColor= \t\nDATA|Color|")


# BMP -------------------------------------------------------------------------------

def bmp(info, palette=b"", pixels=b""):
    """A bitmap file: the file header, the info header, the colour table, the pixels."""
    offset = 14 + len(info) + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info +
            palette + pixels)


def info40(width, height, bits, compression=0, image_size=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image_size,
                       2835, 2835, colours, 0)


def grey_palette(entries):
    return b"".join(bytes((i * 40 % 256, i * 80 % 256, i * 120 % 256, 0))
                    for i in range(entries))


def bmp_seeds():
    seeds = {}
    # RLE8, 4 x 3: a run, an absolute run, end of line, a delta, end of bitmap.
    rle8 = bytes([2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1])
    seeds["rle8.bmp"] = bmp(info40(4, 3, 8, 1, len(rle8), 4), grey_palette(4), rle8)
    # RLE4, 5 x 3, with an index beyond its three colours.
    rle4 = bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 3, 0x0F, 0, 1])
    seeds["rle4.bmp"] = bmp(info40(5, 3, 4, 2, len(rle4), 3), grey_palette(3), rle4)
    # The core (OS/2 1.x) header: 24 bits, 2 x 2.
    core = struct.pack("<IHHHH", 12, 2, 2, 1, 24)
    seeds["core-24.bmp"] = bmp(core, b"", bytes(range(6)) + b"\0\0" + bytes(range(6, 12)) +
                               b"\0\0")
    # 1 bit, 8 x 2, and 4 bits with a short colour table, top-down.
    seeds["mono.bmp"] = bmp(info40(8, 2, 1, 0, 8, 2), grey_palette(2),
                            b"\xa5\0\0\0\x5a\0\0\0")
    seeds["short-table-4.bmp"] = bmp(info40(4, -2, 4, 0, 8, 3), grey_palette(3),
                                     b"\x01\x2f\0\0\xf3\x10\0\0")
    # Colour masks inside a 52-byte header (16 bits, 5-6-5) and a 56-byte one with
    # alpha (32 bits), and BI_ALPHABITFIELDS with the masks after a 40-byte header.
    masks565 = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    seeds["masks-52.bmp"] = bmp(struct.pack("<I", 52) + info40(2, 2, 16, 3, 8)[4:] + masks565,
                                b"", b"\x1f\x00\xe0\x07\x00\xf8\xff\xff")
    masks8888 = struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    seeds["masks-56.bmp"] = bmp(struct.pack("<I", 56) + info40(2, 1, 32, 3, 8)[4:] +
                                masks8888, b"", b"\x10\x20\x30\x00\x40\x50\x60\xff")
    seeds["alpha-bitfields.bmp"] = bmp(info40(2, 1, 32, 6, 8) + masks8888, b"",
                                       b"\x10\x20\x30\x80\x40\x50\x60\xff")
    # The 108- and 124-byte headers, 32 and 24 bits.
    v4 = struct.pack("<IiiHHIIiiII", 108, 2, 1, 1, 32, 3, 8, 0, 0, 0, 0) + masks8888 + \
        b"BGRs" + bytes(48)
    seeds["v4.bmp"] = bmp(v4, b"", b"\x01\x02\x03\x04\x05\x06\x07\x08")
    v5 = struct.pack("<IiiHHIIiiII", 124, 1, -2, 1, 24, 0, 8, 0, 0, 0, 0) + bytes(84)
    seeds["v5-top-down.bmp"] = bmp(v5, b"", b"\x01\x02\x03\0\x04\x05\x06\0")
    # A cut file: rows missing.
    seeds["cut.bmp"] = bmp(info40(16, 16, 24), b"", bytes(40))
    for name, data in seeds.items():
        write("bmp", name, data)
        write("picture", name, data)


# GIF -------------------------------------------------------------------------------

def lzw(indexes, code_size):
    """Image data that any GIF decoder reads: a clear code before every two indexes,
    so the table never grows past the first code width."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    width = code_size + 1
    codes = []
    for i, index in enumerate(indexes):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits = 0
    count = 0
    out = bytearray()
    for code in codes:
        bits |= code << count
        count += width
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([code_size])
    for at in range(0, len(out), 255):
        chunk = out[at:at + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def colour_table(entries):
    return b"".join(bytes((i * 60 % 256, 255 - i * 60 % 256, i * 90 % 256))
                    for i in range(entries))


def screen(version, width, height, table_bits=None, background=0):
    flags = 0 if table_bits is None else 0x80 | (table_bits - 1)
    head = version + struct.pack("<HHBBB", width, height, flags, background, 0)
    return head + (b"" if table_bits is None else colour_table(1 << table_bits))


def image(left, top, width, height, indexes, table_bits=None, interlaced=False,
          code_size=2):
    flags = (0 if table_bits is None else 0x80 | (table_bits - 1)) | (0x40 if interlaced else 0)
    descriptor = b"," + struct.pack("<HHHHB", left, top, width, height, flags)
    table = b"" if table_bits is None else colour_table(1 << table_bits)
    return descriptor + table + lzw(indexes, code_size)


def gif_seeds():
    seeds = {}
    seeds["plain-87a.gif"] = (screen(b"GIF87a", 4, 4, 2) +
                              image(0, 0, 4, 4, [i % 4 for i in range(16)]) + b";")
    control = b"!\xf9\x04\x01\x0a\x00\x02\x00"  # transparent index 2
    comment = b"!\xfe\x05hello\x00"
    loop = b"!\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    seeds["extensions-89a.gif"] = (screen(b"GIF89a", 4, 2, 2) + loop + comment + control +
                                   image(0, 0, 4, 2, [0, 1, 2, 3, 3, 2, 1, 0]) + control +
                                   image(1, 0, 2, 2, [1, 1, 1, 1]) + b";")
    # An image that covers a part of the screen, in a colour table of its own.
    seeds["partial-local.gif"] = (screen(b"GIF89a", 8, 8, 1, background=1) +
                                  image(2, 2, 4, 4, [i % 4 for i in range(16)], table_bits=2) +
                                  b";")
    seeds["no-global-table.gif"] = (screen(b"GIF89a", 3, 3) +
                                    image(0, 0, 3, 3, [i % 2 for i in range(9)], table_bits=1) +
                                    b";")
    seeds["interlaced.gif"] = (screen(b"GIF89a", 2, 8, 2) +
                               image(0, 0, 2, 8, [i % 4 for i in range(16)], interlaced=True) +
                               b";")
    seeds["wide-codes.gif"] = (screen(b"GIF89a", 4, 1, 8) +
                               image(0, 0, 4, 1, [0, 100, 200, 255], code_size=8) + b";")
    seeds["cut.gif"] = (screen(b"GIF89a", 4, 4, 2) + image(0, 0, 4, 4, [1] * 16))[:-6]
    for name, data in seeds.items():
        write("gif", name, data)
        write("picture", name, data)


# Other formats -----------------------------------------------------------------------

def png(width, height, colour_type, rows, extra=b""):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def other_seeds():
    write("picture", "rgba.png", png(2, 2, 6, [b"\xff\0\0\xff\0\xff\0\x00",
                                               b"\0\0\xff\xff\xff\xff\xff\x80"]))
    write("picture", "rgb.png", png(2, 1, 2, [b"\x10\x20\x30\x40\x50\x60"]))
    plte = b"\xff\0\0\0\xff\0"
    trns = b"\x00"

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))
    write("picture", "palette-trns.png",
          png(2, 1, 3, [b"\0\1"], chunk(b"PLTE", plte) + chunk(b"tRNS", trns)))
    write("picture", "small.ppm", b"P6\n2 1\n255\n\xff\0\0\0\xff\0")
    write("picture", "small.xpm",
          b'/* XPM */\nstatic char *p[] = {\n"2 2 2 1",\n"a c #FF0000",\n"b c None",\n'
          b'"ab",\n"ba"};\n')
    convert = shutil.which("convert")
    if convert is None:
        print("make_seeds: no ImageMagick convert; JPEG, WebP and TIFF seeds kept as they are",
              file=sys.stderr)
        return
    with tempfile.TemporaryDirectory() as scratch:
        for name, options in (("small.jpg", ["-quality", "50"]),
                              ("small.webp", ["-define", "webp:lossless=true"]),
                              ("small.tif", ["-compress", "none"]),
                              ("small.ico", [])):
            path = os.path.join(scratch, name)
            subprocess.run([convert, "-size", "3x2", "gradient:red-blue", "-strip"] + options +
                           [path], check=True)
            with open(path, "rb") as f:
                write("picture", name, f.read())


ini_seeds()
bmp_seeds()
gif_seeds()
other_seeds()
