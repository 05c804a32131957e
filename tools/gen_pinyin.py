#!/usr/bin/env python3
"""Writes src/search/pinyin_table.inc, the toneless pinyin readings of the common hanzi, from
the Unihan readings (Debian's unicode-data package: /usr/share/unicode/Unihan_Readings.txt,
plain or .bz2, or the Unihan zip).

    python3 tools/gen_pinyin.py [--unihan PATH] [--check]

Readings are kMandarin's first, then those of kHanyuPinyin and kXHC1983 in file order, each
once, without tone marks, lowercase ASCII with "v" for "ü" (as pinyin input methods take it).
The table covers U+4E00..U+9FFF and U+3007; every hanzi of GB 2312 must have a reading.

Layout, sized for a small exe:
  kSyllables[]        every toneless syllable once, sorted, NUL-padded to 7 bytes;
  kPrimary            twelve bits per code point, two code points in three bytes (the first
                      in the low twelve bits): the first reading's syllable number + 1 in the
                      low 9 bits (0: no reading), the number of further readings above;
  kBlockStart[]       per block of kBlockSize code points, where the block's further readings
                      begin in kOthers;
  kOthers[]           the further readings, as syllable numbers, code point after code point.
--check compares the committed file with what the data gives and fails if they differ.
"""
import argparse
import bz2
import io
import pathlib
import sys
import unicodedata
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "src" / "search" / "pinyin_table.inc"
FIELDS = ("kMandarin", "kHanyuPinyin", "kXHC1983")
BASE, LAST = 0x4E00, 0x9FFF
# U+3007 (〇, "ling") has no Unihan reading but is written as a numeral in Chinese text.
EXTRA_READINGS = {0x3007: ["ling"]}
BLOCK_SIZE = 16
SYLLABLE_BITS = 9
COUNT_BITS = 12 - SYLLABLE_BITS  # twelve bits a code point
SEARCH = ["/usr/share/unicode/Unihan_Readings.txt", "/usr/share/unicode/Unihan_Readings.txt.bz2",
          "/usr/share/unicode/Unihan.zip", "/usr/share/unicode-data/Unihan.zip"]


def open_unihan(path: str) -> io.TextIOBase:
    if path.endswith(".bz2"):
        return bz2.open(path, "rt", encoding="utf-8")
    if path.endswith(".zip"):
        z = zipfile.ZipFile(path)
        return io.TextIOWrapper(z.open("Unihan_Readings.txt"), encoding="utf-8")
    return open(path, encoding="utf-8")


def toneless(reading: str) -> str:
    """'lǘ' -> 'lv', 'xíng' -> 'xing', 'ê̄' -> 'e'."""
    out = []
    for ch in unicodedata.normalize("NFD", reading.lower()):
        if ch == "\u0308" and out and out[-1] == "u":
            out[-1] = "v"
        elif "a" <= ch <= "z":
            out.append(ch)
    return "".join(out)


def readings_of(field: str, value: str) -> list:
    if field == "kMandarin":
        return value.split()
    # "20811.060:háng,xìng,xíng 0443.050:hàng": locations, then the readings found there.
    return [r for entry in value.split() for r in entry.split(":", 1)[-1].split(",")]


def read_unihan(path: str) -> dict:
    fields, version = {}, "?"
    with open_unihan(path) as f:
        for line in f:
            if line.startswith("# Unicode version:"):
                version = line.split(":", 1)[1].strip()
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            if field in FIELDS:
                fields.setdefault(int(cp[2:], 16), {})[field] = value
    table = {}
    for cp, by_field in fields.items():
        if not (BASE <= cp <= LAST):
            continue
        syllables = []
        for field in FIELDS:
            for r in readings_of(field, by_field.get(field, "")):
                s = toneless(r)
                if s and s not in syllables:
                    syllables.append(s)
        if syllables:
            table[cp] = syllables
    table.update(EXTRA_READINGS)
    return table, version


def gb2312_hanzi() -> list:
    out = []
    for lead in range(0xB0, 0xF8):
        for trail in range(0xA1, 0xFF):
            try:
                out.append(ord(bytes([lead, trail]).decode("gb2312")))
            except UnicodeDecodeError:
                pass
    return out


def render(table: dict, version: str) -> str:
    syllables = sorted({s for rs in table.values() for s in rs})
    assert len(syllables) < (1 << SYLLABLE_BITS) - 1, len(syllables)
    assert max(map(len, syllables)) <= 6
    number = {s: i for i, s in enumerate(syllables)}
    primary, others, block_start = [], [], []
    for cp in range(BASE, LAST + 1):
        if (cp - BASE) % BLOCK_SIZE == 0:
            block_start.append(len(others))
        rs = table.get(cp, [])
        assert len(rs) - 1 < (1 << COUNT_BITS), (hex(cp), rs)
        primary.append(0 if not rs else (number[rs[0]] + 1) | ((len(rs) - 1) << SYLLABLE_BITS))
        others += [number[s] for s in rs[1:]]
    assert len(others) < 1 << 16
    extras = sorted((cp, [number[s] for s in rs]) for cp, rs in table.items()
                    if not BASE <= cp <= LAST)
    assert all(len(rs) <= 4 for _, rs in extras)  # OutsideHanzi::readings

    if len(primary) % 2:
        primary.append(0)
    packed = []
    for a, b in zip(primary[0::2], primary[1::2]):
        packed += [a & 0xFF, (a >> 8) | ((b & 0xF) << 4), b >> 4]

    def rows(values, per_line=16):
        return "\n".join("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ","
                         for i in range(0, len(values), per_line))

    return f"""// Generated by `python3 tools/gen_pinyin.py` from Unihan {version}; do not edit.
// Toneless pinyin readings of U+{BASE:04X}..U+{LAST:04X} and a few hanzi outside it ("v" for "ü").
// {len(table)} characters, {len(syllables)} syllables, {len(others)} further readings.

constexpr char32_t kTableFirst = 0x{BASE:04X};
constexpr char32_t kTableLast = 0x{LAST:04X};
constexpr int kBlockSize = {BLOCK_SIZE};
constexpr int kSyllableBits = {SYLLABLE_BITS};

constexpr char kSyllables[][7] = {{
{rows(['"' + s + '"' for s in syllables], 10)}
}};

constexpr std::uint8_t kPrimary[] = {{
{rows(packed, 20)}
}};

constexpr std::uint16_t kBlockStart[] = {{
{rows(block_start, 16)}
}};

constexpr std::uint16_t kOthers[] = {{
{rows(others, 20)}
}};

// Hanzi outside the range above: code point, then its readings.
struct OutsideHanzi {{
    char32_t codePoint;
    std::uint16_t readings[4];
    std::uint8_t count;
}};
constexpr OutsideHanzi kOutside[] = {{
{chr(10).join(f"    {{0x{cp:04X}, {{{', '.join(map(str, rs))}}}, {len(rs)}}}," for cp, rs in extras)}
}};
"""


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--unihan", help="Unihan_Readings.txt (or .bz2, or Unihan.zip)")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    path = args.unihan or next((p for p in SEARCH if pathlib.Path(p).exists()), None)
    if not path:
        print("gen_pinyin: no Unihan readings found; apt-get install unicode-data",
              file=sys.stderr)
        return 2
    table, version = read_unihan(path)
    missing = [f"U+{cp:04X}" for cp in gb2312_hanzi() if cp not in table]
    assert not missing, f"GB 2312 hanzi without a reading: {missing[:20]}"
    assert table[0x884C][:2] == ["xing", "hang"], table[0x884C]  # kMandarin's reading first
    text = render(table, version)
    if args.check:
        if OUT.read_text(encoding="utf-8") != text:
            print(f"gen_pinyin: {OUT.relative_to(ROOT)} is out of date", file=sys.stderr)
            return 1
        print(f"gen_pinyin: {OUT.relative_to(ROOT)} matches the data")
        return 0
    OUT.write_text(text, encoding="utf-8")
    print(f"gen_pinyin: wrote {OUT.relative_to(ROOT)}: {len(table)} characters")
    return 0


if __name__ == "__main__":
    sys.exit(main())
