#!/usr/bin/env bash
# Makes the Windows release from the built programs: the zip and the
# installer, with the same files in each.
#   release.sh VERSION OUTPUT_FOLDER Tolvane.exe tolvane-run.exe
set -euo pipefail
version="$1" out="$2" program="$3" runner="$4"
root="$(cd "$(dirname "$0")/../.." && pwd)"
here="$root/packaging/windows"
stage="$out/release"
rm -rf "$stage"
mkdir -p "$stage"

# Text files for Windows: CR LF line ends; the Japanese one with a byte-order
# mark, so every Notepad reads it as UTF-8.
crlf() { sed 's/\r$//; s/$/\r/'; }

cp "$program" "$stage/Tolvane.exe"
cp "$runner" "$stage/tolvane-run.exe"
{
    printf '\xef\xbb\xbf'
    sed "s/@VERSION@/$version/" "$here/README.txt" | crlf
} >"$stage/README.txt"
crlf <"$root/LICENSE" >"$stage/LICENSE.txt"

# The notices: the summary, the exact versions this build used, and the
# Debian copyright files of those packages with every licence text.
package_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }
{
    cat "$root/THIRD-PARTY.md"
    echo
    echo "## This build"
    echo
    echo "- Qt: Debian qt6-base $(package_version qt6-base-dev)"
    echo "- MinGW-w64: Debian mingw-w64 $(package_version mingw-w64-x86-64-dev)"
    echo "- GCC runtime: Debian gcc-mingw-w64 $(package_version g++-mingw-w64-x86-64-posix)"
    for file in /usr/share/doc/libqt6core6/copyright /usr/share/common-licenses/LGPL-3 \
        /usr/share/doc/mingw-w64-common/copyright /usr/share/doc/gcc-mingw-w64-base/copyright; do
        [ -f "$file" ] || {
            echo "release.sh: $file is missing; the notices would be incomplete" >&2
            exit 1
        }
        echo
        echo "----------------------------------------------------------------------"
        echo "$file"
        echo "----------------------------------------------------------------------"
        echo
        cat "$file"
    done
} | crlf >"$stage/THIRD-PARTY.txt"

# The same time on every file, so the same build gives the same zip.
stamp="$(git -C "$root" log -1 --format=%cd --date=format-local:"%Y-%m-%d %H:%M:%S" 2>/dev/null || date -u "+%Y-%m-%d %H:%M:%S")"
files=(Tolvane.exe tolvane-run.exe README.txt LICENSE.txt THIRD-PARTY.txt)
zip="$out/tolvane-$version-windows-x64.zip"
rm -f "$zip"
(cd "$stage" && touch -d "$stamp" "${files[@]}" &&
    cmake -E tar cf "$zip" --format=zip --mtime="$stamp" "${files[@]}")

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
    -DOUTFILE="$out/tolvane-$version-windows-x64-setup.exe" \
    -DICON="$root/resources/windows/tolvane.ico" "$here/tolvane.nsi" >"$out/makensis.log" || {
    cat "$out/makensis.log" >&2
    exit 1
}
