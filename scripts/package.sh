#!/usr/bin/env bash
# Builds the release configuration and writes dist/ReplyBar-<version>-win64.zip: the stripped
# ReplyBar.exe, 使用说明.txt (the Chinese guide, UTF-8 with a byte-order mark and CR LF so that
# Notepad shows it), LICENSE.txt and the screenshots. The version is the project's (CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}"

cmake --preset windows >/dev/null
cmake --build --preset windows --target ReplyBar >/dev/null
version=$(cat build/windows/version.txt)
zip=dist/ReplyBar-$version-win64.zip
mkdir -p dist
python3 - "$zip" "$version" <<'PY'
import pathlib
import sys
import zipfile

zip_path, version = pathlib.Path(sys.argv[1]), sys.argv[2]


def windows_text(path, **fields):
    text = pathlib.Path(path).read_text(encoding="utf-8")
    for key, value in fields.items():
        text = text.replace(f"@{key}@", value)
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


temporary = zip_path.with_suffix(".tmp")
with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as z:
    z.write("build/windows/ReplyBar.exe", "ReplyBar.exe")
    guide = "\ufeff" + windows_text("docs/user-guide.txt.in", PROJECT_VERSION=version)
    z.writestr("使用说明.txt", guide.encode("utf-8"))
    # .txt so that a double-click opens it in Notepad.
    z.writestr("LICENSE.txt", windows_text("LICENSE").encode("utf-8"))
    # The example a lead starts the team library from, as Excel's "CSV UTF-8" saves it.
    z.write("docs/examples/团队回复示例.csv", "团队回复示例.csv")
    for shot in sorted(pathlib.Path("docs/screenshots").glob("*.png")):
        z.write(shot, "截图/" + shot.name)
temporary.replace(zip_path)
PY
echo "package: $zip ($(stat -c %s "$zip") bytes; ReplyBar.exe $(stat -c %s build/windows/ReplyBar.exe) bytes)"
