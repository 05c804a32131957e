#!/usr/bin/env python3
"""Tests of the picture generator: map parsing, the file formats, the finished pictures.

    python3 assets/test_gen_assets.py
"""

import os
import shutil
import struct
import sys
import tempfile
import unittest
from contextlib import redirect_stdout
from io import StringIO

sys.dont_write_bytecode = True  # keep assets/ free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_assets as ga  # noqa: E402


def parse(text, name="t.txt"):
    lines = [(n, l) for n, l in enumerate(text.strip("\n").split("\n"), 1)]
    return ga.parse_pixmap(lines, os.path.join(ga.PIXMAPS, name))


def read_bmp(data):
    """A small independent reader: (width, height, bits, rows of (r, g, b)) top-down."""
    assert data[:2] == b"BM"
    size, offset = struct.unpack_from("<I4xI", data, 2)
    assert size == len(data)
    _, w, h, planes, bits = struct.unpack_from("<IiiHH", data, 14)
    assert planes == 1 and h > 0
    stride = (w * bits // 8 + 3) // 4 * 4
    rows = []
    for y in range(h):
        base = offset + (h - 1 - y) * stride
        step = bits // 8
        rows.append([tuple(data[base + x * step + 2 - i] for i in range(3)) for x in range(w)])
    return w, h, bits, rows


def slurp(path):
    with open(path, "rb") as f:
        return f.read()


def spoil(path):
    with open(path, "r+b") as f:
        f.write(b"X")


def lum(px):
    return 299 * px[0] + 587 * px[1] + 114 * px[2]


class MapParsing(unittest.TestCase):
    def test_rejects_bad_maps_with_the_place(self):
        good_head = "size 2 2\ncolour a #102030\npixels\n"
        cases = [
            ("row too wide", good_head + "aaa\naa", "t.txt:4: row is 3 wide"),
            ("too few rows", good_head + "aa", "1 rows, size says 2"),
            ("unknown char", good_head + "ab\naa", "'b' has no colour"),
            ("duplicate char", "size 1 1\ncolour a #000000\ncolour a #ffffff\npixels\na",
             "'a' defined twice"),
            ("palette clash", "size 1 1\npalette vga\ncolour K #000000\npixels\nK",
             "'K' defined twice"),
            ("bad colour", "size 1 1\ncolour a #12345\npixels\na", "bad colour"),
            ("hash as pixel", "size 1 1\ncolour # #000000\npixels\n#", "cannot be a pixel"),
            ("no size", "colour a #000000\npixels\na", "'size' missing"),
            ("bad size", "size 2 x\npixels\n", "two whole numbers"),
            ("bad repeat", good_head + "aa x2\naa", "' *N'"),
            ("unknown keyword", "size 1 1\nshade a\npixels\na", "unknown line"),
            ("short gradient", "size 1 1\ncolour a vgrad #000000\npixels\na", "two colours"),
            ("hotspot outside", "size 1 1\nhotspot 1 0\ncolour a #000000\npixels\na",
             "hotspot outside"),
        ]
        for label, text, message in cases:
            with self.subTest(label), self.assertRaises(ga.MapError) as err:
                parse(text)
            self.assertIn(message, str(err.exception), label)

    def test_colours_repeat_and_transparency(self):
        pic = parse("size 3 3\ncolour . none\ncolour a #0a0b0c\ncolour b #ffffff80\n"
                    "pixels\na.b *2\n...")
        self.assertEqual(pic.pixels[0], [(10, 11, 12, 255), None, (255, 255, 255, 128)])
        self.assertEqual(pic.pixels[1], pic.pixels[0])
        self.assertEqual(pic.pixels[2], [None] * 3)

    def test_gradient_reaches_every_stop(self):
        pic = parse("size 1 5\ncolour g vgrad #000000 #808080 #ffffff\npixels\ng *5")
        column = [row[0][:3] for row in pic.pixels]
        self.assertEqual(column[0], (0, 0, 0))
        self.assertEqual(column[2], (128, 128, 128))
        self.assertEqual(column[4], (255, 255, 255))
        self.assertEqual(column[1], (64, 64, 64))


class Layering(unittest.TestCase):
    def test_over(self):
        red, blue = (255, 0, 0, 255), (0, 0, 255, 255)
        cases = [
            ("opaque wins", red, blue, red),
            ("none keeps", None, blue, blue),
            ("onto nothing", (1, 2, 3, 40), None, (1, 2, 3, 40)),
            ("half", (255, 255, 255, 128), (0, 0, 0, 255), (128, 128, 128, 255)),
        ]
        for label, src, dst, want in cases:
            with self.subTest(label):
                self.assertEqual(ga.over(src, dst), want)

    def test_icon_touching_the_frame_is_refused(self):
        inside = parse("size 5 5\ncolour . none\ncolour a #000000\npixels\n"
                       ".....\n.a...\n.....\n.....\n.....")
        ga.check_inside_frame(inside, 1)
        edge = parse("size 5 5\ncolour . none\ncolour a #000000\npixels\n"
                     ".....\n.....\n...a.\n.....\n.....")
        ga.check_inside_frame(edge, 0)
        with self.assertRaises(ga.MapError):
            ga.check_inside_frame(edge, 1)  # pushed in, it would land on the right edge


class FileFormats(unittest.TestCase):
    def test_bmp_round_trip_with_row_padding(self):
        pic = parse("size 3 2\ncolour a #010203\ncolour b #fefdfc\npixels\naba\nbbb")
        for bits in (24, 32):
            with self.subTest(bits=bits):
                w, h, got_bits, rows = read_bmp(ga.bmp(pic, bits))
                self.assertEqual((w, h, got_bits), (3, 2, bits))
                self.assertEqual(rows, [[(1, 2, 3), (254, 253, 252), (1, 2, 3)],
                                        [(254, 253, 252)] * 3])

    def test_bmp_refuses_see_through_pixels(self):
        pic = parse("size 1 1\ncolour a #00000080\npixels\na")
        with self.assertRaises(ga.MapError):
            ga.bmp(pic)

    def test_4bit_icon_masks_the_transparent_pixels(self):
        pic = parse("size 2 1\npalette vga\npixels\n.R")
        data = ga.icon_file([pic], ga.image_4bit)
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
        self.assertEqual((kind, count, w, h, colours, planes, bits), (1, 1, 2, 1, 16, 1, 4))
        self.assertEqual(offset + size, len(data))
        body = data[offset + 40 + 64:]
        self.assertEqual(body[0], 0x09)  # index 0 (under the mask), then red = 9
        self.assertEqual(body[4] & 0xC0, 0x80)  # AND mask: first pixel see-through only

    def test_4bit_icon_refuses_colours_outside_vga(self):
        pic = parse("size 1 1\ncolour a #123456\npixels\na")
        with self.assertRaises(ga.MapError):
            ga.icon_file([pic], ga.image_4bit)

    def test_cursor_keeps_its_hot_spot(self):
        pic = parse("size 2 2\nhotspot 1 0\npalette vga\npixels\nKW\n..")
        data = ga.icon_file([pic], ga.image_1bit, cursor=True)
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 2, 1))
        self.assertEqual(struct.unpack_from("<HH", data, 10), (1, 0))
        grey = parse("size 1 1\nhotspot 0 0\npalette vga\npixels\nS")
        with self.assertRaises(ga.MapError):
            ga.icon_file([grey], ga.image_1bit, cursor=True)


class FinishedPictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = ga.build_outputs()

    def pic(self, name):
        return read_bmp(self.out[name])

    def test_sizes_and_depths(self):
        cases = [("skin.bmp", 103, 29, 24)]
        cases += [(f"{b}_{s}.bmp", 16 if b == "launch" else 23, 22, 24)
                  for b, _, _ in ga.BUTTONS for s in ("normal", "hover", "pressed")]
        for name, w, h, bits in cases:
            with self.subTest(name):
                self.assertEqual(self.pic(name)[:3], (w, h, bits))

    def test_buttons_sit_seamlessly_on_the_skin(self):
        skin = self.pic("skin.bmp")[3]
        for name, left, top in ga.BUTTONS:
            w, h, _, rows = self.pic(f"{name}_normal.bmp")
            with self.subTest(name):
                self.assertEqual(rows, [r[left:left + w] for r in skin[top:top + h]])

    def test_hover_is_raised_and_pressed_is_sunken(self):
        for name, _, _ in ga.BUTTONS:
            for state, sign in (("hover", 1), ("pressed", -1)):
                w, h, _, rows = self.pic(f"{name}_{state}.bmp")
                top_left = lum(rows[0][w // 2]) + lum(rows[h // 2][0])
                bottom_right = lum(rows[h - 1][w // 2]) + lum(rows[h // 2][w - 1])
                with self.subTest(f"{name} {state}"):
                    self.assertGreater(sign * (top_left - bottom_right), 0)

    def test_resource_ids(self):
        want = {"IDI_APP": 1, "IDB_SKIN": 101, "IDB_DESKTOP_NORMAL": 110,
                "IDB_DESKTOP_PRESSED": 112, "IDB_HOME_HOVER": 121, "IDB_LAUNCH_NORMAL": 130,
                "IDB_LAUNCH_PRESSED": 132, "IDB_REPLY_NORMAL": 140, "IDB_REPLY_PRESSED": 142,
                "IDC_DRAG": 150, "IDI_CLASS0": 160, "IDI_CLASS9": 169}
        ids = {sym: num for sym, num, _, _ in ga.RESOURCES}
        self.assertEqual(len(ids), 25)
        for sym, num in want.items():
            self.assertEqual(ids[sym], num, sym)
        self.assertEqual(len(set(ids.values())), len(ids))


class CheckMode(unittest.TestCase):
    def test_check_finds_every_kind_of_drift(self):
        with tempfile.TemporaryDirectory() as root:
            shutil.copy(os.path.join(ga.HERE, "app.manifest"), root)
            ga.generate(root)
            out = os.path.join(root, "out")
            first = {n: slurp(os.path.join(out, n)) for n in os.listdir(out)}
            ga.generate(root)
            self.assertEqual(first, {n: slurp(os.path.join(out, n)) for n in first},
                             "output must not depend on the run")

            def run():
                with redirect_stdout(StringIO()) as text:
                    code = ga.check(root)
                return code, text.getvalue()

            self.assertEqual(run(), (0, "assets: 27 files match\n"))
            skin = os.path.join(out, "skin.bmp")
            edits = [
                ("changed byte", lambda: spoil(skin), "differs: out/skin.bmp"),
                ("missing file", lambda: os.remove(skin), "missing: out/skin.bmp"),
                ("stray file", lambda: shutil.copy(skin, os.path.join(out, "old.bmp")),
                 "not built from pixmaps: out/old.bmp"),
            ]
            for label, edit, message in edits:
                with self.subTest(label):
                    edit()
                    code, text = run()
                    self.assertEqual(code, 1)
                    self.assertIn(message, text)
                    ga.generate(root)
                    self.assertEqual(run()[0], 0)


if __name__ == "__main__":
    unittest.main()
