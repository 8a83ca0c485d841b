#!/usr/bin/python3
"""Draws the programs' icons and the band picture, and writes them as classic ICO files:
the program icons at 32 x 32 and 16 x 16 in 16 colours, the band picture at 32 x 32 in
256 colours. Run it again after changing a drawing; the .ico files are kept in the repo."""
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw

ROOT = Path(__file__).resolve().parent.parent
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def draw(size, remove):
    """A box with a camera lens on it; the uninstaller's has a red cross."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = size / 32
    d.rectangle([2 * s, 8 * s, 29 * s, 28 * s], fill=(0, 0, 128), outline=(0, 0, 0))
    d.rectangle([9 * s, 4 * s, 18 * s, 8 * s], fill=(128, 128, 128), outline=(0, 0, 0))
    d.ellipse([9 * s, 11 * s, 22 * s, 24 * s], fill=(192, 192, 192), outline=(0, 0, 0))
    d.ellipse([12 * s, 14 * s, 19 * s, 21 * s], fill=(0, 128, 128))
    d.rectangle([23 * s, 10 * s, 26 * s, 12 * s], fill=(255, 255, 0))
    if remove:
        w = max(1, int(3 * s))
        d.line([17 * s, 17 * s, 30 * s, 30 * s], fill=(255, 0, 0), width=w)
        d.line([30 * s, 17 * s, 17 * s, 30 * s], fill=(255, 0, 0), width=w)
    return img


def emblem():
    img = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rectangle([1, 3, 30, 23], fill=(40, 70, 140), outline=(20, 20, 40))
    d.rectangle([3, 5, 28, 21], fill=(150, 200, 240))
    d.rectangle([12, 24, 19, 27], fill=(90, 90, 90))
    d.rectangle([7, 27, 24, 29], fill=(60, 60, 60))
    for i in range(4):  # the dashed frame of a capture
        d.line([6 + 6 * i, 8, 9 + 6 * i, 8], fill=(200, 30, 30))
        d.line([6 + 6 * i, 18, 9 + 6 * i, 18], fill=(200, 30, 30))
    d.line([6, 8, 6, 18], fill=(200, 30, 30))
    d.line([26, 8, 26, 18], fill=(200, 30, 30))
    return img


def bitmap(img, bits):
    """BITMAPINFOHEADER, palette, XOR rows and AND mask of one icon image."""
    size = img.size[0]
    if bits == 4:
        palette = VGA
        pal = Image.new("P", (1, 1))
        pal.putpalette([c for rgb in VGA for c in rgb] + [0] * (768 - 48))
        indexed = img.convert("RGB").quantize(palette=pal, dither=Image.Dither.NONE)
    else:
        indexed = img.convert("RGB").quantize(colors=255, dither=Image.Dither.NONE)
        flat = indexed.getpalette()[:765]
        palette = [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]
        palette += [(0, 0, 0)] * (256 - len(palette))
    alpha = img.getchannel("A")
    row = ((size * bits + 31) // 32) * 4
    mask_row = ((size + 31) // 32) * 4
    xor, mask = b"", b""
    for y in reversed(range(size)):
        idx = [indexed.getpixel((x, y)) if alpha.getpixel((x, y)) >= 128 else 0
               for x in range(size)]
        if bits == 4:
            line = bytes((idx[x] << 4) | idx[x + 1] for x in range(0, size, 2))
        else:
            line = bytes(idx)
        xor += line.ljust(row, b"\0")
        m = 0
        bitsrow = b""
        for x in range(size):
            m = (m << 1) | (1 if alpha.getpixel((x, y)) < 128 else 0)
            if x % 8 == 7:
                bitsrow += bytes([m])
                m = 0
        mask += bitsrow.ljust(mask_row, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, len(palette), 0)
    pal_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal_bytes + xor + mask


def write_ico(path, images):
    data = [bitmap(img, bits) for img, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (img, bits), blob in zip(images, data):
        size = img.size[0]
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    path.write_bytes(out + b"".join(data))


def main():
    write_ico(ROOT / "Setup/res/setup.ico", [(draw(32, False), 4), (draw(16, False), 4)])
    write_ico(ROOT / "Setup/Uninstall/res/uninstall.ico", [(draw(32, True), 4), (draw(16, True), 4)])
    write_ico(ROOT / "Setup/res/band.ico", [(emblem(), 8)])
    return 0


if __name__ == "__main__":
    sys.exit(main())
