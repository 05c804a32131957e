#!/usr/bin/env python3
"""The house's rules, checked on every file under src/:
- every quoted include names its folder ("core/ports.h", never "ports.h");
- a room includes only its own room and the floors below it, never a room above, and a room of
  its own floor only where ROOM_PAIRS names the pair;
- a Win32 header (any system header of the Windows SDK) only in *_win32 files, src/win/ and
  src/app/."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Floors from the bottom; rooms of one floor do not include each other.
FLOORS = {
    "core": 0,
    "win": 1, "posix": 1,
    "controls": 2,
    "team": 3, "search": 3, "panel": 3, "fill": 3,
    "reply": 4, "settings": 4, "launch": 4,
    "bar": 5,
    "app": 6,
}
# Rooms of one floor that one includes of the other, as docs/ARCHITECTURE.md names them.
ROOM_PAIRS = {
    ("panel", "search"),  # the panel's search runs the matcher over the rows it shows
}
# Headers of the Windows SDK the program uses or might: none outside the Win32 layer.
WIN32_HEADERS = re.compile(
    r'#\s*include\s*[<"](windows|windowsx|winbase|winuser|wingdi|winreg|winnls|winnt|winerror|'
    r'shlobj|shellapi|shlwapi|shobjidl|commctrl|commdlg|ole2|olectl|oleauto|objbase|objidl|'
    r'unknwn|propkey|propsys|uxtheme|dwmapi|psapi|tlhelp32|winhttp|wininet|wtsapi32|userenv|'
    r'sddl|aclapi|wincrypt|winsock2|ws2tcpip|iphlpapi|mmsystem|delayimp|lmcons|winternl|'
    r'knownfolders|intshcut|exdisp|shldisp|mshtml|oleacc|winver|dbghelp|process|io|direct)\.h[>"]',
    re.IGNORECASE)
QUOTED = re.compile(r'#\s*include\s*"([^"]+)"')


def room_of(rel: pathlib.PurePosixPath) -> str:
    return rel.parts[1]


def include_faults(rel: pathlib.PurePosixPath, text: str) -> list:
    here = room_of(rel)
    bad = []
    for no, line in enumerate(text.splitlines(), 1):
        m = QUOTED.search(line)
        if not m:
            continue
        target = m.group(1)
        where = f"{rel}:{no}: {line.strip()}"
        if "/" not in target:
            bad.append(f"{where}: an include names its folder")
            continue
        room = target.split("/")[0]
        if room not in FLOORS or room == here:
            continue
        if FLOORS[room] > FLOORS[here]:
            bad.append(f"{where}: {here} includes {room}, a floor above it")
        elif FLOORS[room] == FLOORS[here] and (here, room) not in ROOM_PAIRS:
            bad.append(f"{where}: {here} includes {room} of its own floor")
    return bad


def win32_allowed(rel: pathlib.PurePosixPath) -> bool:
    if room_of(rel) in ("win", "app"):
        return True
    return re.search(r"_win32\.(cpp|h|hpp)$", rel.name) is not None


def main() -> int:
    faults = []
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".cpp", ".h", ".hpp", ".inc", ".in"):
            continue
        rel = pathlib.PurePosixPath(path.relative_to(ROOT).as_posix())
        if room_of(rel) not in FLOORS:
            faults.append(f"{rel}: a folder the house does not have")
            continue
        text = path.read_text(encoding="utf-8")
        faults += include_faults(rel, text)
        if win32_allowed(rel):
            continue
        for no, line in enumerate(text.splitlines(), 1):
            if WIN32_HEADERS.search(line):
                faults.append(f"{rel}:{no}: {line.strip()}: a Win32 header outside the Win32 layer")
    for f in faults:
        print(f"layout: {f}", file=sys.stderr)
    if not faults:
        print("layout: every include names its folder; rooms keep to their floors; "
              "Win32 headers only in the Win32 layer")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
