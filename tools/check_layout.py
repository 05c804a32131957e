#!/usr/bin/env python3
"""Fails when a Win32 header is included outside *_win32 files, src/win/ and src/app/."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
WIN32_HEADERS = re.compile(
    r'#\s*include\s*[<"](windows|windowsx|shlobj|shellapi|commctrl|ole2|olectl|objbase|wingdi|winuser)\.h[>"]',
    re.IGNORECASE)


def allowed(rel: pathlib.PurePosixPath) -> bool:
    if rel.parts[:2] in (("src", "win"), ("src", "app")):
        return True
    return re.search(r"_win32\.(cpp|h|hpp)$", rel.name) is not None


def main() -> int:
    bad = []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".cpp", ".h", ".hpp"):
            continue
        rel = pathlib.PurePosixPath(path.relative_to(ROOT).as_posix())
        if allowed(rel):
            continue
        for no, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            if WIN32_HEADERS.search(line):
                bad.append(f"{rel}:{no}: {line.strip()}")
    for b in bad:
        print(f"layout: Win32 header outside the Win32 layer: {b}", file=sys.stderr)
    if not bad:
        print("layout: Win32 headers only in the Win32 layer")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
