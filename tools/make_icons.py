#!/usr/bin/python3
"""Draws the programs' icons and the band picture and writes them as classic ICO files
(BITMAPINFOHEADER, palette, XOR pixels, AND mask):

  Setup/res/setup.ico               32 x 32 and 16 x 16, 16 colours: a box with a lens
  Setup/Uninstall/res/uninstall.ico the same box with a red remove mark
  common/res/band.ico               32 x 32, 40 x 40, 48 x 48 and 64 x 64, 256 colours: the
                                    camera emblem of the band, one frame for each DPI, each
                                    stored as a PNG (Windows Vista and later read them in
                                    icons), palette or RGBA, whichever is smaller

The files are kept in the repo; run this again after changing a drawing. Every file is
read back and checked after writing. --preview FILE also renders all pictures at 4x on
white and on grey into a PNG.

Needs Pillow: run it with /usr/bin/python3."""
import argparse
import io
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw

ROOT = Path(__file__).resolve().parent.parent

# The 16 colours of the classic Windows palette, in their usual order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = 16  # drawing index of a transparent pixel; written as black with the mask bit set
CLEAR_8 = -1  # the same for the 256-colour picture, whose indices use all of 0..255


# ------------------------------------------------------------------ the program icons


def box32(d):
    """The installation box at 32 x 32: top, front and right side, a lens on the front."""
    top = [(2, 11), (8, 5), (29, 5), (23, 11)]
    side = [(23, 11), (29, 5), (29, 24), (23, 30)]
    d.polygon(top, fill=CYAN, outline=BLACK)
    d.polygon(side, fill=NAVY, outline=BLACK)
    d.rectangle([2, 11, 23, 30], fill=TEAL, outline=BLACK)
    d.line([(10, 6), (16, 6)], fill=WHITE)  # the light on the lid
    d.line([(12, 8), (20, 8)], fill=TEAL)  # the flaps' seam
    # The lens: black rim, silver ring, blue glass with a white glint.
    d.ellipse([5, 13, 20, 28], fill=BLACK)
    d.ellipse([6, 14, 19, 27], fill=SILVER)
    d.arc([6, 14, 19, 27], 20, 200, fill=GREY)
    d.ellipse([8, 16, 17, 25], fill=BLACK)
    d.ellipse([9, 17, 16, 24], fill=BLUE)
    d.ellipse([11, 19, 14, 22], fill=NAVY)
    d.point([(11, 18), (10, 19), (12, 18)], fill=WHITE)
    d.rectangle([25, 10, 27, 11], fill=YELLOW)  # the flash on the side
    d.point([(25, 12)], fill=YELLOW)


def box16(d):
    """The same box drawn again for 16 x 16, where shrinking would blur it."""
    d.polygon([(0, 5), (4, 1), (15, 1), (11, 5)], fill=CYAN, outline=BLACK)
    d.polygon([(11, 5), (15, 1), (15, 11), (11, 15)], fill=NAVY, outline=BLACK)
    d.rectangle([0, 5, 11, 15], fill=TEAL, outline=BLACK)
    d.line([(5, 2), (8, 2)], fill=WHITE)
    d.ellipse([2, 7, 9, 14], fill=BLACK)
    d.ellipse([3, 8, 8, 13], fill=SILVER)
    d.rectangle([4, 9, 7, 12], fill=BLUE)
    d.point([(4, 9), (7, 9), (4, 12), (7, 12)], fill=BLACK)
    d.point([(5, 9)], fill=WHITE)
    d.point([(13, 4)], fill=YELLOW)


def remove_mark(d, size):
    """A red disc with a white bar and a black edge, in the lower right corner."""
    if size == 32:
        d.ellipse([17, 17, 31, 31], fill=BLACK)
        d.ellipse([18, 18, 30, 30], fill=WHITE)
        d.ellipse([19, 19, 29, 29], fill=RED)
        d.rectangle([21, 23, 27, 25], fill=WHITE)
    else:
        d.ellipse([8, 8, 15, 15], fill=BLACK)
        d.ellipse([9, 9, 14, 14], fill=RED)
        d.rectangle([10, 11, 13, 12], fill=WHITE)


def program_icon(size, remove):
    """A palette picture of the 16 colours plus CLEAR."""
    img = Image.new("P", (size, size), CLEAR)
    img.putpalette([c for rgb in VGA + [(255, 0, 255)] for c in rgb])
    d = ImageDraw.Draw(img)
    (box32 if size == 32 else box16)(d)
    if remove:
        remove_mark(d, size)
    return [[img.getpixel((x, y)) for x in range(size)] for y in range(size)], VGA


# ------------------------------------------------------------------ the band emblem


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def emblem(size):
    """A camera inside the four corners of a capture frame, drawn large and shrunk to
    size x size, on white: the band it sits on is white, so edge pixels are blended with
    white."""
    scale = 8
    n = 32 * scale
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)

    def s(*v):
        return [round(x * scale) for x in v]

    # The corners of the capture frame, orange.
    orange = (236, 118, 20, 255)
    w = 2.2
    for x0, y0, dx, dy in ((0, 0, 1, 1), (32, 0, -1, 1), (0, 32, 1, -1), (32, 32, -1, -1)):
        xs, ys = sorted((x0, x0 + dx * 9)), sorted((y0, y0 + dy * w))
        d.rectangle(s(xs[0], ys[0], xs[1], ys[1]), fill=orange)
        xs, ys = sorted((x0, x0 + dx * w)), sorted((y0, y0 + dy * 9))
        d.rectangle(s(xs[0], ys[0], xs[1], ys[1]), fill=orange)

    # The body: a rounded block shaded from top to bottom, with the viewfinder hump.
    d.rounded_rectangle(s(10, 7.5, 18, 12), radius=scale, fill=(52, 58, 70, 255))
    body = s(4.5, 10, 27.5, 26)
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).rounded_rectangle(body, radius=3 * scale, fill=255)
    for i in range(body[1], body[3]):
        t = (i - body[1]) / (body[3] - body[1])
        row = Image.new("RGBA", (n, 1), mix((92, 100, 118), (34, 38, 48), t) + (255,))
        img.paste(row, (0, i), mask.crop((0, i, n, i + 1)))
    d.rounded_rectangle(s(22.5, 12, 25.5, 14), radius=scale // 2, fill=(255, 214, 60, 255))
    d.rounded_rectangle(s(6.5, 8.5, 9.5, 10.5), radius=scale // 2, fill=(210, 40, 40, 255))

    # The lens: a metal ring, dark rim, and blue glass lit from the upper left.
    cx, cy = 16, 18
    for r, colour in ((7.2, (200, 205, 214)), (6.2, (120, 126, 138)), (5.4, (16, 18, 26))):
        d.ellipse(s(cx - r, cy - r, cx + r, cy + r), fill=colour + (255,))
    steps = 40
    for k in range(steps):
        r = 4.6 * (1 - k / steps)
        t = k / steps
        colour = mix((20, 40, 110), (70, 150, 235), t)
        off = 1.2 * t
        d.ellipse(s(cx - r - off, cy - r - off, cx + r - off, cy + r - off), fill=colour + (255,))
    d.ellipse(s(cx - 3.4, cy - 3.6, cx - 1.2, cy - 1.4), fill=(235, 245, 255, 255))

    small = img.resize((size, size), Image.Resampling.BOX)
    white = Image.new("RGBA", (size, size), (255, 255, 255, 255))
    flat = Image.alpha_composite(white, small).convert("RGB")
    alpha = small.getchannel("A")
    quant = flat.quantize(colors=255, dither=Image.Dither.NONE)
    used = quant.getpalette()[:3 * 255]
    # Index 0 stays black for the transparent pixels; the picture's colours follow.
    palette = [(0, 0, 0)] + [tuple(used[i:i + 3]) for i in range(0, len(used), 3)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    pixels = [[quant.getpixel((x, y)) + 1 if alpha.getpixel((x, y)) >= 100 else CLEAR_8
               for x in range(size)] for y in range(size)]
    return pixels, palette


# ------------------------------------------------------------------ the ICO format


def image_bytes(pixels, palette, bits):
    """BITMAPINFOHEADER, palette, XOR rows (bottom-up) and AND mask of one image."""
    size = len(pixels)
    clear = CLEAR if bits == 4 else CLEAR_8
    xor_row = ((size * bits + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        idx = [0 if p == clear else p for p in row]
        if bits == 4:
            line = bytes((idx[x] << 4) | idx[x + 1] for x in range(0, size, 2))
        else:
            line = bytes(idx)
        xor += line.ljust(xor_row, b"\0")
        bitsrow = bytearray(and_row)
        for x, p in enumerate(row):
            if p == clear:
                bitsrow[x // 8] |= 0x80 >> (x % 8)
        mask += bitsrow
    colours = 1 << bits
    assert len(palette) == colours
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0,
                         0, 0, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(xor) + bytes(mask)


def png_bytes(pixels, palette):
    """One 256-colour picture as the smaller of two PNGs: indexed with index 0 transparent,
    or RGBA. Transparent pixels are clear, the others opaque: drawn, the picture gives the
    same pixels as the classic bitmap and mask."""
    size = len(pixels)
    indexed = Image.new("P", (size, size))
    indexed.putpalette([c for rgb in palette for c in rgb])
    indexed.putdata([0 if p == CLEAR_8 else p for row in pixels for p in row])
    encodings = []
    for img, options in ((indexed, {"transparency": 0}), (render(pixels, palette, 8), {})):
        out = io.BytesIO()
        img.save(out, "PNG", optimize=True, **options)
        encodings.append(out.getvalue())
    return min(encodings, key=len)


def ico_bytes(images):
    """images: (pixels, palette, bits) for each picture in the file; bits "png" for a
    256-colour picture stored as a PNG."""
    blobs = [png_bytes(p, c) if bits == "png" else image_bytes(p, c, bits) for p, c, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (pixels, _, bits), blob in zip(images, blobs):
        size = len(pixels)
        colours = 16 if bits == 4 else 0
        depth = 32 if bits == "png" else bits
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, depth, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def check_ico(path, expected):
    """Reads the file back byte by byte and with Pillow. expected: [(size, bits), ...].
    Returns the list of faults found (empty when the file is right)."""
    faults = []
    data = path.read_bytes()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1, len(expected)):
        return [f"{path}: header {reserved}, {kind}, {count}"]
    for i, (size, bits) in enumerate(expected):
        w, h, colours, _, planes, bitcount, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        depth = 32 if bits == "png" else bits
        if (w, h, colours, planes, bitcount) != (size, size, 16 if bits == 4 else 0, 1, depth):
            faults.append(f"{path} entry {i}: {w}x{h} {colours} colours {bitcount} bits")
        if offset + length > len(data):
            faults.append(f"{path} entry {i}: runs past the end")
            continue
        if bits == "png":
            with Image.open(io.BytesIO(data[offset:offset + length])) as png:
                if png.format != "PNG" or png.size != (size, size):
                    faults.append(f"{path} image {i}: not a {size} x {size} PNG")
                faults += opacity(f"{path} {size}x{size}", png.convert("RGBA"))
            continue
        hsize, bw, bh, bplanes, bbits, compression = struct.unpack_from("<IiiHHI", data, offset)
        if (hsize, bw, bh, bplanes, bbits, compression) != (40, size, 2 * size, 1, bits, 0):
            faults.append(f"{path} image {i}: BITMAPINFOHEADER {hsize} {bw}x{bh} {bbits} bits")
        xor = ((size * bits + 31) // 32) * 4 * size
        mask = ((size + 31) // 32) * 4 * size
        if length != 40 + 4 * (1 << bits) + xor + mask:
            faults.append(f"{path} image {i}: {length} bytes")
    with Image.open(path) as im:
        sizes = sorted(im.info.get("sizes", {im.size}))
        if sizes != sorted((s, s) for s, _ in expected):
            faults.append(f"{path}: Pillow reads sizes {sizes}")
        for s, bits in expected:
            if bits != "png":  # Pillow reads a PNG frame's transparency only on its own
                im.size = (s, s)
                faults += opacity(f"{path} {s}x{s}", im.convert("RGBA"))
    return faults


def opacity(name, rgba):
    """A picture is neither empty nor a full square."""
    opaque = sum(1 for a in rgba.getchannel("A").getdata() if a)
    s = rgba.width
    return [] if s * s // 3 < opaque < s * s else [f"{name}: {opaque} opaque pixels"]


def render(pixels, palette, bits):
    size = len(pixels)
    clear = CLEAR if bits == 4 else CLEAR_8
    img = Image.new("RGBA", (size, size))
    for y, row in enumerate(pixels):
        for x, p in enumerate(row):
            img.putpixel((x, y), (0, 0, 0, 0) if p == clear else palette[p] + (255,))
    return img


def preview(path, pictures):
    """All pictures at 4x, on white (top row) and on the dialog grey (bottom row)."""
    cell = 4 * max(len(p) for p, _, _ in pictures) + 16
    out = Image.new("RGBA", (cell * len(pictures), 2 * cell), (255, 255, 255, 255))
    out.paste((192, 192, 192, 255), (0, cell, out.width, 2 * cell))
    for i, picture in enumerate(pictures):
        img = render(*picture)
        big = img.resize((img.width * 4, img.height * 4), Image.Resampling.NEAREST)
        for row in range(2):
            out.alpha_composite(big, (i * cell + 8, row * cell + 8))
    out.convert("RGB").save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", type=Path, help="also write a 4x PNG preview here")
    args = parser.parse_args()

    setup = [program_icon(32, False) + (4,), program_icon(16, False) + (4,)]
    uninstall = [program_icon(32, True) + (4,), program_icon(16, True) + (4,)]
    band = [emblem(size) + ("png",) for size in (32, 40, 48, 64)]
    files = [(ROOT / "Setup/res/setup.ico", setup),
             (ROOT / "Setup/Uninstall/res/uninstall.ico", uninstall),
             (ROOT / "common/res/band.ico", band)]
    faults = []
    for path, images in files:
        path.write_bytes(ico_bytes(images))
        faults += check_ico(path, [(len(p), bits) for p, _, bits in images])
    if setup == uninstall:
        faults.append("the two program icons are the same")
    for fault in faults:
        print(fault, file=sys.stderr)
    if args.preview:
        preview(args.preview, setup + uninstall + [(p, c, 8) for p, c, _ in band])
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
