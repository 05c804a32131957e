#!/usr/bin/env python3
"""Builds the program's pictures from the text pixel maps in pixmaps/.

    python3 assets/gen_assets.py           write out/*, replybar.rc and resource_ids.h
    python3 assets/gen_assets.py --check   rebuild into a temporary folder and compare

Pixel map format (pixmaps/*.txt; palettes in pixmaps/*.pal):

    # a comment line (header only)
    size 23 22
    palette modern                 take the colour lines of pixmaps/modern.pal
    colour a #3b82f680  note       a local colour; free text after the value is a note
    hotspot 15 16                  cursors only
    pixels
    ....aaaa....                   H rows of exactly W characters
    ....a..a.... *6                " *N" repeats a row N times

Colour values: "none" (transparent), #RRGGBB, #RRGGBBAA (AA = opacity, blended over what
lies beneath when pictures are layered) and "vgrad #c0 #c1 ..." (a vertical gradient whose
stops are spread evenly from the picture's first row to its last). A character may be
defined once per map, palette included; the space is never a pixel.

Only the standard library is used, and the output depends on nothing but the maps, so the
committed files in out/ can be checked byte for byte.
"""

import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PIXMAPS = os.path.join(HERE, "pixmaps")

# --- pixel maps -------------------------------------------------------------------------------


class MapError(Exception):
    pass


def parse_colour(tokens, where):
    """Returns None (see-through), an (r, g, b, a) tuple or ("vgrad", [stops])."""

    def hex_colour(tok):
        body = tok[1:]
        if not tok.startswith("#") or len(body) not in (6, 8):
            raise MapError(f"{where}: bad colour {tok!r}")
        try:
            vals = [int(body[i:i + 2], 16) for i in range(0, len(body), 2)]
        except ValueError:
            raise MapError(f"{where}: bad colour {tok!r}") from None
        return tuple(vals) if len(vals) == 4 else tuple(vals) + (255,)

    if not tokens:
        raise MapError(f"{where}: colour value missing")
    if tokens[0] == "none":
        return None
    if tokens[0] == "vgrad":
        stops = []
        for tok in tokens[1:]:
            if not tok.startswith("#"):
                break
            stops.append(hex_colour(tok))
        if len(stops) < 2:
            raise MapError(f"{where}: vgrad needs at least two colours")
        return ("vgrad", stops)
    return hex_colour(tokens[0])


def read_colour_lines(lines, path, colours):
    for num, line in lines:
        where = f"{os.path.basename(path)}:{num}"
        parts = line.split()
        if parts[0] != "colour" or len(parts) < 3 or len(parts[1]) != 1:
            raise MapError(f"{where}: expected 'colour <char> <value>'")
        if parts[1] == "#":
            raise MapError(f"{where}: '#' starts a comment and cannot be a pixel")
        if parts[1] in colours:
            raise MapError(f"{where}: {parts[1]!r} defined twice")
        colours[parts[1]] = parse_colour(parts[2:], where)


def significant_lines(path):
    with open(path, encoding="utf-8") as f:
        for num, raw in enumerate(f, 1):
            line = raw.rstrip("\r\n").rstrip()
            if line and not line.startswith("#"):
                yield num, line


class Pixmap:
    """A parsed map: rows of RGBA tuples (None = transparent)."""

    def __init__(self, name, width, height, pixels, hotspot=None):
        self.name, self.width, self.height = name, width, height
        self.pixels, self.hotspot = pixels, hotspot


def lerp(a, b, num, den):
    # Integer rounding (half up) so every platform gets the same bytes.
    return a + ((b - a) * 2 * num + den) // (2 * den) if den else a


def gradient_at(stops, y, height):
    if height <= 1:
        return stops[0]
    segments = len(stops) - 1
    pos = y * segments  # in units of (height - 1)
    seg = min(pos // (height - 1), segments - 1)
    num, den = pos - seg * (height - 1), height - 1
    lo, hi = stops[seg], stops[seg + 1]
    return tuple(lerp(lo[i], hi[i], num, den) for i in range(4))


def parse_pixmap(text_lines, path):
    """Parses a map given as (line number, text) pairs; raises MapError with the place."""
    name = os.path.splitext(os.path.basename(path))[0]
    size = hotspot = None
    colours = {}
    local = []
    rows = []
    in_pixels = False
    for num, line in text_lines:
        where = f"{os.path.basename(path)}:{num}"
        if in_pixels:
            row, _, repeat = line.partition(" ")
            count = 1
            if repeat:
                if not (repeat.startswith("*") and repeat[1:].isdigit()):
                    raise MapError(f"{where}: a row may only be followed by ' *N'")
                count = int(repeat[1:])
            rows.extend([(num, row)] * count)
            continue
        parts = line.split()
        if parts[0] in ("size", "hotspot") and len(parts) == 3:
            if not (parts[1].isdigit() and parts[2].isdigit()):
                raise MapError(f"{where}: {parts[0]} takes two whole numbers")
            pair = (int(parts[1]), int(parts[2]))
            if parts[0] == "size":
                size = pair
            else:
                hotspot = pair
        elif parts[0] == "palette" and len(parts) == 2:
            pal = os.path.join(os.path.dirname(path), parts[1] + ".pal")
            if not os.path.exists(pal):
                raise MapError(f"{where}: no palette {parts[1]!r}")
            read_colour_lines(significant_lines(pal), pal, colours)
        elif parts[0] == "colour":
            local.append((num, line))
        elif parts[0] == "pixels" and len(parts) == 1:
            in_pixels = True
        else:
            raise MapError(f"{where}: unknown line {line!r}")
    read_colour_lines(local, path, colours)
    if size is None:
        raise MapError(f"{path}: 'size' missing")
    width, height = size
    if len(rows) != height:
        raise MapError(f"{path}: {len(rows)} rows, size says {height}")
    pixels = []
    for y, (num, row) in enumerate(rows):
        where = f"{os.path.basename(path)}:{num}"
        if len(row) != width:
            raise MapError(f"{where}: row is {len(row)} wide, size says {width}")
        out = []
        for ch in row:
            if ch not in colours:
                raise MapError(f"{where}: {ch!r} has no colour")
            value = colours[ch]
            if isinstance(value, tuple) and value and value[0] == "vgrad":
                value = gradient_at(value[1], y, height)
            out.append(value)
        pixels.append(out)
    if hotspot and not (0 <= hotspot[0] < width and 0 <= hotspot[1] < height):
        raise MapError(f"{path}: hotspot outside the picture")
    return Pixmap(name, width, height, pixels, hotspot)


def load(name):
    path = os.path.join(PIXMAPS, name + ".txt")
    return parse_pixmap(significant_lines(path), path)


# --- layering ---------------------------------------------------------------------------------


def blank(width, height):
    return Pixmap("canvas", width, height, [[None] * width for _ in range(height)])


def over(src, dst):
    """src drawn over dst (straight alpha)."""
    if src is None:
        return dst
    if dst is None or src[3] == 255:
        return src
    a, b = src[3], dst[3]
    out_a = a + b * (255 - a) // 255
    if out_a == 0:
        return None
    chans = tuple((src[i] * a * 255 + dst[i] * b * (255 - a) + out_a * 255 // 2) //
                  (out_a * 255) for i in range(3))
    return chans + (out_a,)


def paste(canvas, pic, x0, y0):
    for y, row in enumerate(pic.pixels):
        for x, px in enumerate(row):
            cx, cy = x0 + x, y0 + y
            if 0 <= cx < canvas.width and 0 <= cy < canvas.height:
                canvas.pixels[cy][cx] = over(px, canvas.pixels[cy][cx])
    return canvas


def copy(pic):
    return crop(pic, 0, 0, pic.width, pic.height)


def crop(pic, x0, y0, width, height):
    out = blank(width, height)
    for y in range(height):
        out.pixels[y] = list(pic.pixels[y0 + y][x0:x0 + width])
    return out


def opaque_rgb(pic):
    for row in pic.pixels:
        for px in row:
            if px is None or px[3] != 255:
                raise MapError(f"{pic.name}: an opaque picture has a see-through pixel")
    return [[px[:3] for px in row] for row in pic.pixels]


# --- file formats -----------------------------------------------------------------------------

PELS_PER_METRE = 3780  # 96 dpi, the only resolution the bar is drawn for


def info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       PELS_PER_METRE, PELS_PER_METRE, colours, 0)


def bmp_rows(rgb, bits):
    """Bottom-up BGR(A) rows padded to four bytes."""
    step = bits // 8
    out = bytearray()
    for row in reversed(rgb):
        line = bytearray()
        for r, g, b in row:
            # 32-bit rows say opaque outright: GDI ignores the byte, alpha-aware readers don't.
            line += bytes((b, g, r)) if step == 3 else bytes((b, g, r, 255))
        line += b"\0" * (-len(line) % 4)
        out += line
    return bytes(out)


def bmp(pic, bits=24):
    rgb = opaque_rgb(pic)
    data = bmp_rows(rgb, bits)
    head = info_header(pic.width, pic.height, bits, len(data))
    offset = 14 + len(head)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + head + data


def and_mask(pic):
    out = bytearray()
    stride = (pic.width + 31) // 32 * 4
    for row in reversed(pic.pixels):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px is None or px[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def image_4bit(pic):
    index = {c: i for i, c in enumerate(VGA)}
    xor = bytearray()
    for row in reversed(pic.pixels):
        nibbles = []
        for px in row:
            if px is None:
                nibbles.append(0)  # black under a set AND bit: see-through
            elif px[3] != 255 or px[:3] not in index:
                raise MapError(f"{pic.name}: {px} is not one of the 16 VGA colours")
            else:
                nibbles.append(index[px[:3]])
        nibbles += [0] * (len(nibbles) % 2)
        line = bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, len(nibbles), 2))
        xor += line + b"\0" * (-len(line) % 4)
    mask = and_mask(pic)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    head = info_header(pic.width, pic.height * 2, 4, len(xor) + len(mask), 16)
    return head + table + bytes(xor) + mask, 16, 4


def image_32bit(pic):
    xor = bytearray()
    for row in reversed(pic.pixels):
        for px in row:
            xor += bytes((px[2], px[1], px[0], px[3])) if px and px[3] else b"\0\0\0\0"
    mask = and_mask(pic)
    head = info_header(pic.width, pic.height * 2, 32, len(xor) + len(mask))
    return head + bytes(xor) + mask, 0, 32


def image_1bit(pic):
    """Black and white with an AND mask: the classic cursor that every system draws alike."""
    xor = bytearray()
    stride = (pic.width + 31) // 32 * 4
    for row in reversed(pic.pixels):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px is None:
                continue
            if px != (0, 0, 0, 255) and px != (255, 255, 255, 255):
                raise MapError(f"{pic.name}: a cursor pixel must be black, white or none")
            if px[0]:
                line[x // 8] |= 0x80 >> (x % 8)
        xor += line
    mask = and_mask(pic)
    table = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    head = info_header(pic.width, pic.height * 2, 1, len(xor) + len(mask), 2)
    return head + table + bytes(xor) + mask, 2, 1


def icon_file(pics, encode, cursor=False):
    """ICO (type 1) or CUR (type 2): directory, then the images in order."""
    images = [(pic, *encode(pic)) for pic in pics]
    out = struct.pack("<HHH", 0, 2 if cursor else 1, len(images))
    offset = 6 + 16 * len(images)
    for pic, data, ncolours, bits in images:
        if cursor:
            planes, count = pic.hotspot  # a cursor keeps its hot spot where an icon has these
        else:
            planes, count = 1, bits
        out += struct.pack("<BBBBHHII", pic.width % 256, pic.height % 256, ncolours % 256, 0,
                           planes, count, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data, _, _ in images)


# --- what is built ----------------------------------------------------------------------------

# Button places on the bar face (left, top); each button map is the button's full size.
BUTTONS = [("desktop", 5, 4), ("home", 28, 4), ("launch", 51, 4), ("reply", 76, 4)]
FRAMES = {"hover": "raised", "pressed": "sunken"}
PRESS_SHIFT = 1  # the pressed icon moves one pixel right and down, as if pushed in

# (symbol, id, resource type, file name); the header and the resource script follow this table.
RESOURCES = [("IDI_APP", 1, "ICON", "app.ico"), ("IDB_SKIN", 101, "BITMAP", "skin.bmp")]
for _n, (_btn, _, _) in enumerate(BUTTONS):
    for _s, _state in enumerate(("normal", "hover", "pressed")):
        RESOURCES.append((f"IDB_{_btn.upper()}_{_state.upper()}", 110 + 10 * _n + _s, "BITMAP",
                          f"{_btn}_{_state}.bmp"))
RESOURCES.append(("IDC_DRAG", 150, "CURSOR", "drag.cur"))
RESOURCES += [(f"IDI_CLASS{i}", 160 + i, "ICON", f"class{i}.ico") for i in range(10)]


def check_inside_frame(icon, shift):
    # The frame is the outer ring; an icon touching it would be cut by the hover edges.
    for y, row in enumerate(icon.pixels):
        for x, px in enumerate(row):
            if px is None:
                continue
            sx, sy = x + shift, y + shift
            if not (1 <= sx < icon.width - 1 and 1 <= sy < icon.height - 1):
                raise MapError(f"{icon.name}: pixel ({x},{y}) reaches the button frame")


def button_pictures(face):
    """Yields (file name, picture) for every state of every button."""
    for name, left, top in BUTTONS:
        icon = load(name)
        check_inside_frame(icon, PRESS_SHIFT)
        under = crop(face, left, top, icon.width, icon.height)
        yield f"{name}_normal.bmp", paste(copy(under), icon, 0, 0)
        for state, frame in FRAMES.items():
            pic = paste(copy(under), load(f"frame_{frame}_{icon.width}"), 0, 0)
            shift = PRESS_SHIFT if state == "pressed" else 0
            yield f"{name}_{state}.bmp", paste(pic, icon, shift, shift)


def build_outputs():
    """Returns {file name in out/: bytes}."""
    out = {}
    face = load("skin")
    skin = copy(face)
    for name, left, top in BUTTONS:
        paste(skin, load(name), left, top)
    out["skin.bmp"] = bmp(skin)
    for file_name, pic in button_pictures(face):
        out[file_name] = bmp(pic)
    drag = load("drag")
    if drag.hotspot is None:
        raise MapError("drag: a cursor needs a hotspot")
    out["drag.cur"] = icon_file([drag], image_1bit, cursor=True)
    for i in range(10):
        out[f"class{i}.ico"] = icon_file([load(f"class{i}")], image_4bit)
    out["app.ico"] = icon_file([load("app16"), load("app32")], image_32bit)
    missing = {f for _, _, _, f in RESOURCES} - set(out)
    assert not missing, f"resource table names unbuilt files: {missing}"
    return out


def header_text():
    lines = ["/* Resource ids shared by replybar.rc and the program; written by gen_assets.py. */",
             "#ifndef REPLYBAR_RESOURCE_IDS_H", "#define REPLYBAR_RESOURCE_IDS_H", ""]
    lines += [f"#define {sym:<22}{num}" for sym, num, _, _ in RESOURCES]
    return "\n".join(lines + ["", "#endif", ""])


def rc_text():
    lines = ["#pragma code_page(65001)",
             "// Written by gen_assets.py; paths are relative to assets/ (built with -I assets).",
             '#include "resource_ids.h"', "",
             '1 24 "app.manifest"', ""]
    lines += [f'{sym:<22}{kind:<7}"out/{name}"' for sym, _, kind, name in RESOURCES]
    # The version resource is configured by CMake from the project's version (version.rc.in).
    lines += [""]
    return "\n".join(lines)


def generate(root):
    """Writes everything under root (out/, replybar.rc, resource_ids.h); returns the paths."""
    outputs = build_outputs()
    out_dir = os.path.join(root, "out")
    os.makedirs(out_dir, exist_ok=True)
    for stale in set(os.listdir(out_dir)) - set(outputs):
        os.remove(os.path.join(out_dir, stale))  # out/ holds nothing but what is built here
    files = {os.path.join("out", n): data for n, data in outputs.items()}
    files["replybar.rc"] = rc_text().encode("utf-8")
    files["resource_ids.h"] = header_text().encode("ascii")
    for rel, data in sorted(files.items()):
        with open(os.path.join(root, rel), "wb") as f:
            f.write(data)
    return sorted(files)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def check(root=HERE):
    """Compares what is committed under root with a fresh build; prints what is off."""
    with tempfile.TemporaryDirectory() as tmp:
        wanted = generate(tmp)
        bad = []
        for rel in wanted:
            mine = os.path.join(root, rel)
            if not os.path.exists(mine):
                bad.append(f"missing: {rel}")
            elif read_bytes(mine) != read_bytes(os.path.join(tmp, rel)):
                bad.append(f"differs: {rel}")
    out_dir = os.path.join(root, "out")
    built = {os.path.basename(r) for r in wanted if r.startswith("out" + os.sep)}
    present = set(os.listdir(out_dir)) if os.path.isdir(out_dir) else set()
    bad += [f"not built from pixmaps: out/{n}" for n in sorted(present - built)]
    for line in bad:
        print(line)
    if bad:
        print(f"assets: {len(bad)} file(s) do not match; run python3 assets/gen_assets.py")
        return 1
    print(f"assets: {len(wanted)} files match")
    return 0


def main(argv):
    try:
        if argv[1:] == ["--check"]:
            return check()
        if argv[1:]:
            print(__doc__.split("\n\n")[1], file=sys.stderr)
            return 2
        written = generate(HERE)
        print(f"assets: wrote {len(written)} files")
        return 0
    except MapError as err:
        print(f"gen_assets: {err}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
