#!/usr/bin/env bash
# The Windows runner under Wine, end to end: a tree with Japanese names is
# copied in date-history mode, yesterday's folder is packed and removed, and
# other readers on this side give back the same bytes under the same names.
# usage: runner_smoke.sh WINE-RUN TOLVANE-RUN.EXE
set -euo pipefail
wine_run=$1
runner=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A Unix path as Wine's Z: drive shows it.
windows_path() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

source="$work/元データ"
mkdir -p "$source/サブ フォルダ"
printf '一行目\r\n二行目\r\n' >"$source/日本語.txt"
seq 1 50000 >"$source/サブ フォルダ/数字.txt"
printf 'a' >"$source/ascii.txt"

dest="$work/バックアップ"
yesterday=$(date -d yesterday +%Y%m%d)
today=$(date +%Y%m%d)
old="$dest/$yesterday"
mkdir -p "$old/昨日の フォルダ" "$old/空"
seq 1 20000 | sed 's/$/ 行/' >"$old/昨日の フォルダ/記録.txt"
head -c 65536 /dev/zero | tr '\0' 'x' >"$old/表.bin"
cp -a "$old" "$work/expected"

# A missing drive: the message keeps its CR LF, and the run stops (status 4).
status=0
output=$("$wine_run" "$runner" --save-at 'Q:\Backup' "$(windows_path "$source")") || status=$?
[ "$status" -eq 4 ] || fail "a missing drive ended with $status, not 4"
expected=$'makeLongDir:指定されたドライブがありません。\r\nDrive=Q:\n--\n'
[ "${output:0:${#expected}}" = "$expected" ] || fail "missing-drive message: $(printf '%q' "$output")"

status=0
output=$("$wine_run" "$runner" --save-at "$(windows_path "$dest")" --date-copy --compress \
    "$(windows_path "$source")") || status=$?
[ "$status" -eq 0 ] || fail "the runner ended with $status: $output"
case "$output" in
CAPTION:*) ;;
*) fail "unexpected output: $output" ;;
esac

diff -r "$source" "$dest/$today/元データ" || fail "today's copy differs from its source"
[ ! -e "$old" ] || fail "yesterday's folder was not removed"
archive="$dest/$yesterday.lzh"
[ -f "$archive" ] || fail "no archive $archive"

mkdir "$work/lhasa"
(cd "$work/lhasa" && lhasa xq "$archive") || fail "lhasa cannot extract the archive"
diff -r "$work/expected" "$work/lhasa/$yesterday" || fail "lhasa gives back other bytes or names"

mkdir "$work/bsdtar"
LC_ALL=C.UTF-8 bsdtar -xf "$archive" -C "$work/bsdtar" || fail "bsdtar cannot extract the archive"
diff -r "$work/expected" "$work/bsdtar/$yesterday" || fail "bsdtar gives back other bytes or names"

echo "PASS: $today copied, $yesterday.lzh extracts byte-identical with lhasa and bsdtar"
