#!/usr/bin/python3
"""Draws Quorlin's pictures into resources/images/.

Needs Pillow (Debian: python3-pil, `scripts/install-deps --with-drawing`) and
the Liberation fonts (fonts-liberation2). Run from anywhere:

    /usr/bin/python3 resources/draw_images.py [--preview DIR]

Every file is written byte for byte by this script (our own PNG and ICO
writers), so a redraw gives the same bytes and the formats are exactly the
ones the toolbar expects. --preview also writes a montage of all pictures at
24 px and at 4x zoom, for checking them by eye.
"""

import argparse
import math
import os
import struct
import zlib

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "images")
FONTS = "/usr/share/fonts/truetype/liberation2"
SERIF_BOLD = os.path.join(FONTS, "LiberationSerif-Bold.ttf")
SERIF_BOLD_ITALIC = os.path.join(FONTS, "LiberationSerif-BoldItalic.ttf")
SANS_BOLD = os.path.join(FONTS, "LiberationSans-Bold.ttf")

# The four letter images are this size and are squeezed into 24 x 24 squares.
LETTER_W, LETTER_H = 512, 346


# ---------------------------------------------------------------- file writers

def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_bytes(width, height, colour_type, rows, palette=None, alphas=None):
    """rows: one bytes object per row, already in the colour type's layout."""
    out = b"\x89PNG\r\n\x1a\n"
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    if palette is not None:
        out += png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
        out += png_chunk(b"tRNS", bytes(alphas))
    raw = b"".join(b"\x00" + row for row in rows)
    out += png_chunk(b"IDAT", zlib.compress(raw, 9))
    out += png_chunk(b"IEND", b"")
    return out


def rgba_png(image):
    w, h = image.size
    data = image.tobytes()
    return png_bytes(w, h, 6, [data[y * w * 4:(y + 1) * w * 4] for y in range(h)])


def coverage_png(mask):
    """A black picture whose alpha is the coverage mask, as an 8-bit palette PNG.

    Palette entry i is black with alpha i, so every edge keeps its 256 levels
    of smoothness and composes correctly on any background."""
    w, h = mask.size
    data = mask.tobytes()
    palette = [(0, 0, 0)] * 256
    alphas = list(range(256))
    return png_bytes(w, h, 3, [data[y * w:(y + 1) * w] for y in range(h)], palette, alphas)


def and_mask_rows(image):
    """1-bit AND mask, bottom-up, each row padded to 4 bytes: 1 = transparent."""
    w, h = image.size
    stride = ((w + 31) // 32) * 4
    rows = []
    for y in reversed(range(h)):
        bits = bytearray(stride)
        for x in range(w):
            if image.getpixel((x, y))[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(bits))
    return b"".join(rows)


def ico_bytes(width, height, bit_count, colour_table, xor_rows, mask):
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bit_count, 0,
                         len(xor_rows) + len(mask), 0, 0,
                         len(colour_table) // 4, 0)
    image = header + colour_table + xor_rows + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bit_count, len(image), 22)
    return directory + entry + image


def ico_24bit(image):
    """ICO with one 24-bit image and its AND mask; masked pixels are black."""
    w, h = image.size
    stride = (w * 3 + 3) // 4 * 4
    rows = []
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            r, g, b, a = image.getpixel((x, y))
            row += bytes((b, g, r)) if a >= 128 else b"\0\0\0"
        rows.append(bytes(row) + b"\0" * (stride - len(row)))
    return ico_bytes(w, h, 24, b"", b"".join(rows), and_mask_rows(image))


def ico_8bit(image):
    """ICO with one 256-colour image and its AND mask."""
    w, h = image.size
    opaque = Image.new("RGB", image.size, (0, 0, 0))
    opaque.paste(image.convert("RGB"), mask=image.getchannel("A").point(lambda a: 255 if a >= 128 else 0))
    indexed = opaque.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = indexed.getpalette()[:256 * 3]
    pal += [0] * (256 * 3 - len(pal))
    table = b"".join(bytes((pal[i * 3 + 2], pal[i * 3 + 1], pal[i * 3], 0)) for i in range(256))
    stride = (w + 3) // 4 * 4
    data = indexed.tobytes()
    rows = b"".join(data[y * w:(y + 1) * w] + b"\0" * (stride - w) for y in reversed(range(h)))
    return ico_bytes(w, h, 8, table, rows, and_mask_rows(image))


# ---------------------------------------------------------------- drawing aids

class Canvas:
    """Draws in the target's pixel units on a supersampled RGBA picture."""

    def __init__(self, width, height, scale, ground=(0, 0, 0, 0)):
        self.size = (width, height)
        self.s = scale
        self.img = Image.new("RGBA", (width * scale, height * scale), ground)
        self.draw = ImageDraw.Draw(self.img)

    def pts(self, points):
        return [(x * self.s, y * self.s) for x, y in points]

    def rect(self, x0, y0, x1, y1, fill):
        """Half-open in target pixels: covers [x0, x1) x [y0, y1)."""
        s = self.s
        self.draw.rectangle([round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1], fill=fill)

    def poly(self, points, fill):
        self.draw.polygon(self.pts(points), fill=fill)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=0):
        self.draw.ellipse(self.pts([(x0, y0), (x1, y1)]), fill=fill, outline=outline,
                          width=round(width * self.s))

    def arc(self, x0, y0, x1, y1, start, end, fill, width):
        self.draw.arc(self.pts([(x0, y0), (x1, y1)]), start, end, fill=fill, width=round(width * self.s))

    def paste(self, picture, mask):
        self.img.paste(picture, (0, 0), mask)

    def result(self):
        return self.img.resize(self.size, Image.BOX)


def glyph_coverage(text, font_path, size=1200, embolden=0):
    """The glyph's coverage, cropped to its ink; embolden thickens every stroke."""
    font = ImageFont.truetype(font_path, size)
    img = Image.new("L", (size * 2, size * 2), 0)
    ImageDraw.Draw(img).text((size // 2, size // 4), text, font=font, fill=255,
                             stroke_width=embolden, stroke_fill=255)
    return img.crop(img.getbbox())


# ---------------------------------------------------------------- floppy disks
# Pixel art at 24 x 24: the ICO's 1-bit mask allows no soft edges.

NAVY = (18, 38, 92)
DISK_BLUE = (40, 94, 196)
DISK_LIGHT = (96, 146, 232)
DISK_SHADE = (28, 68, 152)
METAL = (204, 210, 220)
METAL_EDGE = (112, 120, 136)
SLOT = (34, 40, 56)
LABEL = (250, 250, 250)
RULE = (168, 184, 214)
DARK_RED = (168, 16, 20)


def floppy(with_plus):
    img = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon([(1, 1), (19, 1), (22, 4), (22, 22), (1, 22)], fill=NAVY)
    d.polygon([(2, 2), (18, 2), (21, 5), (21, 21), (2, 21)], fill=DISK_BLUE)
    d.line([(2, 2), (2, 20)], fill=DISK_LIGHT)
    d.line([(3, 2), (5, 2)], fill=DISK_LIGHT)
    d.line([(21, 6), (21, 21)], fill=DISK_SHADE)
    # The metal shutter with its window.
    d.rectangle([6, 1, 17, 9], fill=METAL_EDGE)
    d.rectangle([7, 2, 16, 8], fill=METAL)
    d.rectangle([13, 3, 15, 7], fill=SLOT)
    # The label.
    d.rectangle([4, 12, 19, 22], fill=NAVY)
    d.rectangle([5, 13, 18, 22], fill=LABEL)
    if with_plus:
        d.rectangle([8, 16, 15, 17], fill=DARK_RED)
        d.rectangle([11, 13, 12, 20], fill=DARK_RED)
    else:
        for y in (16, 19):
            d.line([(7, y), (16, y)], fill=RULE)
    # The label runs into the bottom edge; keep the outline under it.
    d.line([(1, 22), (22, 22)], fill=NAVY)
    return img


# ---------------------------------------------------------------- letters
# Drawn for the 24 x 24 square they are squeezed into: extents are given in
# those pixels, and the glyphs are widened so that the squeeze leaves them
# only a little narrower than they are set.

SQUEEZE_X = LETTER_W / 24
SQUEEZE_Y = LETTER_H / 24
WIDTH_KEPT = 0.9   # displayed width / natural width after the squeeze


def place_glyph(canvas, glyph, top, bottom, centre=12.0, width_kept=WIDTH_KEPT):
    """Scales the glyph to rows [top, bottom) of the 24 grid and centres it."""
    h_out = bottom - top
    w_out = glyph.width / glyph.height * h_out * width_kept
    w, h = round(w_out * SQUEEZE_X), round(h_out * SQUEEZE_Y)
    scaled = glyph.resize((w, h), Image.LANCZOS)
    x = round(centre * SQUEEZE_X - w / 2)
    canvas.paste(scaled, (x, round(top * SQUEEZE_Y)))
    return x, w


def letter(text, font_path, centre=12.0, embolden=0):
    canvas = Image.new("L", (LETTER_W, LETTER_H), 0)
    place_glyph(canvas, glyph_coverage(text, font_path, embolden=embolden), 2, 22, centre)
    return canvas


def underlined_u():
    canvas = Image.new("L", (LETTER_W, LETTER_H), 0)
    # The U's thin right stem would fade at 24 px: thicken it a little.
    x, w = place_glyph(canvas, glyph_coverage("U", SERIF_BOLD, embolden=22), 1, 17)
    bar = ImageDraw.Draw(canvas)
    bar.rectangle([x - round(0.5 * SQUEEZE_X), round(19 * SQUEEZE_Y),
                   x + w + round(0.5 * SQUEEZE_X) - 1, round(21 * SQUEEZE_Y) - 1], fill=255)
    return canvas


# ---------------------------------------------------------------- text colour

RED = (206, 0, 0, 255)


def text_colour():
    c = Canvas(24, 24, 8)
    c.rect(1, 1, 23, 23, (150, 150, 156, 255))
    c.rect(2, 2, 22, 22, (224, 224, 228, 255))
    # The text cursor: a stem with short bars at both ends.
    c.rect(19, 5, 20, 19, RED)
    c.rect(18, 4, 21, 5, RED)
    c.rect(18, 19, 21, 20, RED)
    picture = c.result()
    # The A is set at its own size, hinted, so its strokes land on whole pixels.
    font = ImageFont.truetype(SANS_BOLD, 18)
    _, _, _, bottom = font.getbbox("A")
    ImageDraw.Draw(picture).text((3, 19 - bottom), "A", font=font, fill=RED)
    return picture


# ---------------------------------------------------------------- zip folder

FOLDER_BACK = (226, 168, 20, 255)
FOLDER_FRONT = (252, 206, 58, 255)
FOLDER_EDGE = (168, 118, 0, 255)
BADGE_BLUE = (16, 36, 120, 255)
WHITE = (255, 255, 255, 255)


def zip_folder():
    # Stored at 32 x 32 but shown at 24 x 24: drawn in units of the 24 grid,
    # so that its edges fall near whole pixels once scaled down.
    c = Canvas(32, 32, 8, ground=WHITE)
    c.s = 8 * 32 / 24
    # Back panel with its tab.
    c.poly([(1, 6), (2, 4), (8, 4), (9, 6), (22, 6), (22, 21), (1, 21)], FOLDER_EDGE)
    c.poly([(2, 7), (2.6, 5), (7.4, 5), (8.4, 7), (21, 7), (21, 20), (2, 20)], FOLDER_BACK)
    # Front flap, leaning forward.
    c.poly([(1, 21), (3, 10), (23, 10), (22, 21)], FOLDER_EDGE)
    c.poly([(2, 20), (3.8, 11), (21.8, 11), (21, 20)], FOLDER_FRONT)
    # The badge: dark blue frame, white field, dark blue Z.
    c.rect(12, 0, 24, 12, BADGE_BLUE)
    c.rect(13, 1, 23, 11, WHITE)
    c.rect(15, 2, 21, 4, BADGE_BLUE)
    c.rect(15, 8, 21, 10, BADGE_BLUE)
    c.poly([(18.4, 4), (21, 4), (17.6, 8), (15, 8)], BADGE_BLUE)
    return c.result()


# ---------------------------------------------------------------- application icon
# A grey pot holding a pencil, a brush and a pen. Drawn in units of a 256 grid
# at any size, so the 32 and 256 pixel icons are the same drawing.

POT_LIGHT = (214, 218, 224)
POT_MID = (150, 155, 162)
POT_DARK = (84, 88, 96)
POT_INSIDE = (56, 58, 64)
OUTLINE = (44, 46, 52, 255)


def stick(c, base, top, segments):
    """A straight tool from base to top, drawn as tapered segments.

    segments: (end fraction, colour, width at start, width at end)."""
    (bx, by), (tx, ty) = base, top
    length = math.hypot(tx - bx, ty - by)
    ux, uy = (tx - bx) / length, (ty - by) / length
    nx, ny = -uy, ux
    start = 0.0
    for end, colour, w0, w1 in segments:
        p0 = (bx + ux * length * start, by + uy * length * start)
        p1 = (bx + ux * length * end, by + uy * length * end)
        c.poly([(p0[0] + nx * w0 / 2, p0[1] + ny * w0 / 2), (p1[0] + nx * w1 / 2, p1[1] + ny * w1 / 2),
                (p1[0] - nx * w1 / 2, p1[1] - ny * w1 / 2), (p0[0] - nx * w0 / 2, p0[1] - ny * w0 / 2)],
               colour)
        start = end


def outlined_stick(c, base, top, segments, border):
    """The stick with a dark border drawn first, so it separates from its neighbours."""
    widened = [(e, OUTLINE, w0 + 2 * border, w1 + 2 * border) for e, _, w0, w1 in segments]
    length = math.hypot(top[0] - base[0], top[1] - base[1])
    extra = border / length
    tip = (top[0] + (top[0] - base[0]) * extra, top[1] + (top[1] - base[1]) * extra)
    stick(c, base, tip, widened)
    stick(c, base, top, segments)


def pot_gradient(c, x0, x1, height):
    """Horizontal shading of a rounded pot: dark sides, a light band left of centre."""
    grad = Image.new("RGBA", (c.img.width, c.img.height))
    stops = [(0.0, POT_DARK), (0.3, POT_LIGHT), (0.55, POT_MID), (1.0, POT_DARK)]
    d = ImageDraw.Draw(grad)
    for px in range(round(x0 * c.s), round(x1 * c.s) + 1):
        t = min(max((px / c.s - x0) / (x1 - x0), 0.0), 1.0)
        for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
            if ta <= t <= tb:
                k = (t - ta) / (tb - ta)
                colour = tuple(round(a + (b - a) * k) for a, b in zip(ca, cb)) + (255,)
                break
        d.line([(px, 0), (px, height)], fill=colour)
    return grad


def application_icon(size):
    scale = 8 if size <= 64 else 4
    c = Canvas(size, size, scale)
    unit = size / 256
    c.s = scale * unit          # from here on, coordinates are in the 256 grid
    border = 5

    top_y, bottom_y = 124, 236
    left_top, right_top = 56, 200
    left_bottom, right_bottom = 72, 184
    # Mouth of the pot, behind the tools.
    c.ellipse(left_top - border, top_y - 24 - border, right_top + border, top_y + 24 + border, fill=OUTLINE)
    c.ellipse(left_top, top_y - 24, right_top, top_y + 24, fill=POT_INSIDE + (255,))

    outlined_stick(c, (106, 150), (34, 14), [          # pencil
        (0.72, (244, 190, 36, 255), 30, 30),
        (0.93, (236, 200, 150, 255), 30, 8),
        (1.0, (40, 40, 44, 255), 8, 0)], border)
    outlined_stick(c, (150, 150), (226, 22), [         # pen
        (0.55, (32, 86, 176, 255), 28, 28),
        (0.8, (60, 118, 214, 255), 28, 26),
        (0.92, (196, 200, 208, 255), 22, 10),
        (1.0, (40, 40, 44, 255), 10, 0)], border)
    outlined_stick(c, (128, 150), (130, 4), [          # brush
        (0.55, (180, 44, 32, 255), 20, 18),
        (0.7, (200, 204, 212, 255), 22, 22),
        (0.9, (92, 56, 28, 255), 24, 20),
        (1.0, (204, 24, 24, 255), 20, 0)], border)

    # The body in front of the tools.
    body = [(left_top, top_y), (right_top, top_y), (right_bottom, bottom_y), (left_bottom, bottom_y)]
    shape = Image.new("L", c.img.size, 0)
    sd = ImageDraw.Draw(shape)
    grown = [(left_top - border, top_y), (right_top + border, top_y),
             (right_bottom + border, bottom_y), (left_bottom - border, bottom_y)]
    sd.polygon(c.pts(grown), fill=255)
    sd.ellipse(c.pts([(left_bottom - border, bottom_y - 18 - border), (right_bottom + border, bottom_y + 18 + border)]),
               fill=255)
    c.paste(Image.new("RGBA", c.img.size, OUTLINE), shape)
    shape = Image.new("L", c.img.size, 0)
    sd = ImageDraw.Draw(shape)
    sd.polygon(c.pts(body), fill=255)
    sd.ellipse(c.pts([(left_bottom, bottom_y - 18), (right_bottom, bottom_y + 18)]), fill=255)
    c.paste(pot_gradient(c, left_top, right_top, c.img.height), shape)
    # The rim's near half.
    c.arc(left_top - border / 2, top_y - 24 - border / 2, right_top + border / 2, top_y + 24 + border / 2,
          0, 180, OUTLINE, border)
    c.arc(left_top + 3, top_y - 21, right_top - 3, top_y + 21, 0, 180, POT_LIGHT + (255,), 8)
    return c.result()


# ---------------------------------------------------------------- output

def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def pictures():
    """Name, picture as shown, file bytes."""
    out = []
    for name, picture in [("save-file.ico", floppy(False)), ("save-file-as.ico", floppy(True))]:
        out.append((name, picture, ico_24bit(picture)))
    for name, mask in [
        # Thin strokes fade when squeezed: each letter is thickened a little.
        ("bold.png", letter("B", SERIF_BOLD, embolden=10)),
        ("italic.png", letter("I", SERIF_BOLD_ITALIC, centre=12.4, embolden=18)),
        ("underline.png", underlined_u()),
        ("change-font.png", letter("A", SERIF_BOLD, embolden=16)),
    ]:
        black = Image.new("RGBA", mask.size, (0, 0, 0, 255))
        black.putalpha(mask)
        out.append((name, black, coverage_png(mask)))
    colour = text_colour()
    out.append(("text-color.png", colour, rgba_png(colour)))
    folder = zip_folder()
    out.append(("zip-folder.png", folder, rgba_png(folder)))
    icon32 = application_icon(32)
    out.append(("quorlin.ico", icon32, ico_8bit(icon32)))
    out.append(("quorlin-32.png", icon32, rgba_png(icon32)))
    icon256 = application_icon(256)
    out.append(("quorlin-256.png", icon256, rgba_png(icon256)))
    return out


def preview(items, folder):
    """All pictures at 24 px (as the toolbar squeezes them) on two grounds, zoomed 4x."""
    small = [p.resize((24, 24), Image.BOX) if p.size != (24, 24) else p for _, p, _ in items]
    strip = Image.new("RGBA", (len(small) * 28 + 4, 56), (0, 0, 0, 0))
    for i, p in enumerate(small):
        for row, ground in enumerate([(240, 240, 240, 255), (60, 60, 64, 255)]):
            cell = Image.new("RGBA", (28, 28), ground)
            cell.alpha_composite(p, (2, 2))
            strip.paste(cell, (i * 28 + 2, row * 28))
    strip.save(os.path.join(folder, "pictures-24.png"))
    strip.resize((strip.width * 4, strip.height * 4), Image.NEAREST).save(os.path.join(folder, "pictures-x4.png"))
    items[-1][1].save(os.path.join(folder, "icon-256.png"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write montages for checking by eye")
    args = parser.parse_args()
    os.makedirs(OUT, exist_ok=True)
    items = pictures()
    for name, _, data in items:
        write(name, data)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        preview(items, args.preview)


if __name__ == "__main__":
    main()
