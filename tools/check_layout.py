#!/usr/bin/env python3
"""Fails when a Win32 header is included outside *_win32 files, src/win/ and src/app/, or when
a folder of src/ includes one above it (core, win and posix, controls, launch and reply, bar,
app)."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
WIN32_HEADERS = re.compile(
    r'#\s*include\s*[<"](windows|windowsx|shlobj|shellapi|commctrl|ole2|olectl|objbase|wingdi|winuser)\.h[>"]',
    re.IGNORECASE)


# Each folder may include its own floor and the ones below; launch and reply share a floor but
# do not include each other.
FLOORS = {"core": 0, "win": 1, "posix": 1, "controls": 2, "launch": 3, "reply": 3, "bar": 4, "app": 5}
# The menu's command dispatch reads the launch map that the launcher build writes.
UPWARD_ALLOWED = {("src/controls/menu_window_win32.cpp", "launch/launch_map.h")}
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([a-z]+)/[^"]+"')


def upward_includes(rel: pathlib.PurePosixPath, text: str) -> list:
    here = rel.parts[1]
    bad = []
    for no, line in enumerate(text.splitlines(), 1):
        m = LOCAL_INCLUDE.search(line)
        if not m or m.group(1) not in FLOORS or m.group(1) == here:
            continue
        target = line.split('"')[1]
        if (str(rel), target) in UPWARD_ALLOWED:
            continue
        if FLOORS[m.group(1)] >= FLOORS[here]:
            bad.append(f"{rel}:{no}: {line.strip()}")
    return bad


def allowed(rel: pathlib.PurePosixPath) -> bool:
    if rel.parts[:2] in (("src", "win"), ("src", "app")):
        return True
    return re.search(r"_win32\.(cpp|h|hpp)$", rel.name) is not None


def main() -> int:
    bad, upward = [], []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".cpp", ".h", ".hpp"):
            continue
        rel = pathlib.PurePosixPath(path.relative_to(ROOT).as_posix())
        text = path.read_text(encoding="utf-8")
        upward += upward_includes(rel, text)
        if allowed(rel):
            continue
        for no, line in enumerate(text.splitlines(), 1):
            if WIN32_HEADERS.search(line):
                bad.append(f"{rel}:{no}: {line.strip()}")
    for b in bad:
        print(f"layout: Win32 header outside the Win32 layer: {b}", file=sys.stderr)
    for u in upward:
        print(f"layout: include of a higher folder: {u}", file=sys.stderr)
    if not bad and not upward:
        print("layout: Win32 headers only in the Win32 layer; no folder includes a higher one")
    return 1 if bad or upward else 0


if __name__ == "__main__":
    sys.exit(main())
