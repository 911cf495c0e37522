#!/usr/bin/env python3
"""Draws Navora's own picture assets and writes them into OUTDIR.

Usage: make-assets.py OUTDIR

Writes navora.ico (the application icon at 16, 32 and 48 px), program.ico (the
same for navora.exe's own resources, its images PNG-compressed), hand.cur (the
pointing-hand cursor over clickable buttons), background.bmp (a 640x480 window
background with a title band), sample-small.bmp (a solid 200x100 picture the
tests sample), two 24x24 button icons on a magenta transparent colour and a
200x32 button face for the example menus, and the demo disc's pictures as PNG files
(background.png, button-face.png, and icon-play.png and icon-document.png with soft
transparent edges). Every picture is drawn here, so the project ships and tests with
images of its own and the output is the same bytes on every run.
"""
import math
import os
import struct
import sys
import zlib

ICON_BLUE = (20, 60, 140)
WHITE = (255, 255, 255)


def bitmap_info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def mask_rows(bits, width, height):
    """Packs rows of 0/1 values into bottom-up 1-bpp rows padded to 4 bytes."""
    stride = (width + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if bits[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def bmp_file(width, height, pixel_at):
    """A 24-bit uncompressed BMP; pixel_at(x, y) gives the RGB of a top-down pixel."""
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel_at(x, y)
            row += bytes((b, g, r))
        pixels += row + bytes(stride - len(row))
    header = bitmap_info_header(width, height, 24, len(pixels))
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_file(width, height, pixel_at):
    """An 8-bit PNG; pixel_at(x, y) gives RGB, or RGBA for a picture with transparency."""
    rows = [[pixel_at(x, y) for x in range(width)] for y in range(height)]
    channels = len(rows[0][0])
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if channels == 4 else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def soft_icon(inside_at, samples=4):
    """An RGBA icon pixel from a 24x24 drawing with a transparent colour: its colour, and as
    alpha the share of a pixel's sub-samples inside the drawing, so that its edges are soft."""
    def pixel_at(x, y):
        inside = []
        for sy in range(samples):
            for sx in range(samples):
                c = inside_at(x + (sx + 0.5) / samples - 0.5, y + (sy + 0.5) / samples - 0.5)
                if c != MAGENTA:
                    inside.append(c)
        if not inside:
            return (0, 0, 0, 0)
        colour = tuple(round(sum(c[i] for c in inside) / len(inside)) for i in range(3))
        return colour + (round(255 * len(inside) / samples ** 2),)
    return pixel_at


def icon_sample(px, py, size):
    """Colour at a point of the icon, or None outside it: a rounded blue square holding a white disc."""
    half = size / 2
    corner = size * 0.22
    # Distance outside the square shrunk by the corner radius decides the rounded corners.
    dx = max(abs(px - half) - (half - corner), 0)
    dy = max(abs(py - half) - (half - corner), 0)
    if math.hypot(dx, dy) > corner:
        return None
    centre = math.hypot(px - half, py - half)
    if size * 0.1 <= centre <= size * 0.36:
        return WHITE
    return ICON_BLUE


def icon_pixels(size, samples=4):
    """Rows of (r, g, b, a) pixels, antialiased by averaging samples x samples points per pixel."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = [icon_sample(x + (i + 0.5) / samples, y + (j + 0.5) / samples, size)
                    for j in range(samples) for i in range(samples)]
            hits = [c for c in hits if c is not None]
            if not hits:
                row.append((0, 0, 0, 0))
                continue
            # Straight (not premultiplied) alpha: the colour is the mean over the covered samples.
            rgb = [round(sum(c[k] for c in hits) / len(hits)) for k in range(3)]
            row.append((*rgb, round(255 * len(hits) / samples ** 2)))
        rows.append(row)
    return rows


def icon_image(size):
    """One 32-bit icon image with its mask."""
    rows = icon_pixels(size)
    transparent = [[1 if a == 0 else 0 for *_, a in row] for row in rows]
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    data = xor + mask_rows(transparent, size, size)
    return bitmap_info_header(size, size * 2, 32, len(data)) + data


def png_image(size):
    """The icon image as a PNG file, which icon files hold since Windows Vista."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in icon_pixels(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def icon_file(sizes, png_sizes=()):
    images = [png_image(s) if s in png_sizes else icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def hand_shape():
    """The 32x32 hand as a set of (x, y): index finger up with its tip at (5, 0), three curled fingers, thumb, palm."""
    shape = set()

    def fill(x0, x1, y0, y1):
        shape.update((x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1))

    def finger(x0, x1, top, bottom):
        # The top row is one pixel narrower on each side to round the tip.
        fill(x0 + 1, x1 - 1, top, top)
        fill(x0, x1, top + 1, bottom)

    finger(3, 7, 0, 16)
    finger(7, 11, 7, 16)
    finger(11, 15, 8, 17)
    finger(15, 19, 10, 18)
    # Thumb out to the left, its lower edge running diagonally down to the cuff.
    for y in range(14, 27):
        fill(max(y - 15, 0) // 2, min(19, 42 - y), y, y)
    fill(6, 16, 27, 31)
    return shape


def cursor_file():
    size = 32
    shape = hand_shape()
    outline = {(x, y) for x, y in shape
               if any(p not in shape for p in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}
    # Lines between the fingers, the thumb's crease and the cuff seam at the wrist.
    outline.update((x, y) for x, top in ((7, 8), (11, 9), (15, 11)) for y in range(top, 15))
    outline.update(((4, 17), (5, 18), (6, 19), (6, 20)))
    outline.update((x, 27) for x in range(6, 17))
    white = [[1 if (x, y) in shape and (x, y) not in outline else 0 for x in range(size)] for y in range(size)]
    transparent = [[0 if (x, y) in shape else 1 for x in range(size)] for y in range(size)]
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = mask_rows(white, size, size) + mask_rows(transparent, size, size)
    image = bitmap_info_header(size, size * 2, 1, len(data), 2) + palette + data
    hot_x, hot_y = 5, 0
    return (struct.pack("<HHH", 0, 2, 1)
            + struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
            + image)


def gradient_pixel(x, y):
    if 24 <= y < 72:
        return (230, 236, 245)
    top, bottom = (16, 40, 96), (60, 120, 200)
    t = y / 479
    return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))


MAGENTA = (255, 0, 255)  # the button icons' transparent colour


def play_icon(x, y):
    """A green play triangle in a 24x24 square; the rest is the transparent colour."""
    if 5 <= x <= 19 and abs(y - 11.5) <= (19 - x) * 0.75:  # also between pixels
        return (30, 160, 60)
    return MAGENTA


def document_icon(x, y):
    """A white page with grey lines and a folded corner; the rest is the transparent colour."""
    if not (5 <= x <= 18 and 2 <= y <= 21) or (x - 13) > (y - 2):
        return MAGENTA
    if x in (5, 18) or y in (2, 21) or (x - 13) == (y - 2):
        return (40, 40, 40)
    if y in (8, 11, 14, 17) and 8 <= x <= 15:
        return (120, 120, 120)
    return WHITE


def soft_document(x, y):
    """The document icon at any point: its outline between pixels, its inside as drawn."""
    if not (4.5 <= x <= 18.5 and 1.5 <= y <= 21.5) or (x - 13) > (y - 1.5):
        return MAGENTA
    colour = document_icon(min(18, max(5, round(x))), min(21, max(2, round(y))))
    return (40, 40, 40) if colour == MAGENTA else colour


def button_face(x, y):
    """A 200x32 button picture: a soft vertical gradient with a light top line."""
    if y == 0:
        return (250, 250, 255)
    t = y / 31
    return tuple(round(a + (b - a) * t) for a, b in zip((120, 170, 230), (40, 80, 160)))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-assets.py OUTDIR")
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    files = {
        "navora.ico": icon_file((16, 32, 48)),
        # Smaller in the program, which runs from Vista on: every image as PNG.
        "program.ico": icon_file((16, 32, 48), png_sizes=(16, 32, 48)),
        "hand.cur": cursor_file(),
        "background.bmp": bmp_file(640, 480, gradient_pixel),
        "sample-small.bmp": bmp_file(200, 100, lambda x, y: (200, 30, 40)),
        "icon-play.bmp": bmp_file(24, 24, play_icon),
        "icon-document.bmp": bmp_file(24, 24, document_icon),
        "button-face.bmp": bmp_file(200, 32, button_face),
        "background.png": png_file(640, 480, gradient_pixel),
        "icon-play.png": png_file(24, 24, soft_icon(play_icon)),
        "icon-document.png": png_file(24, 24, soft_icon(soft_document)),
        "button-face.png": png_file(200, 32, button_face),
    }
    for name, data in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
