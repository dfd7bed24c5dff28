#!/usr/bin/env bash
# Packs one corpus of about 35 MB (documentation and C/C++ headers copied from
# this machine) with our LHA writer and with jlha (level-2 headers, -lh5-),
# alternating the order round by round because disk speed drifts, and prints
# sizes, median times and the median per-round time ratio. tar | gzip -6 on
# the same corpus is timed as a reference.
#
# Usage: bench/lha-vs-peers.sh [rounds]     (TARGET_MB=35 by default)
set -euo pipefail

rounds=${1:-5}
target_mb=${TARGET_MB:-35}
repo=$(cd "$(dirname "$0")/.." && pwd)

for tool in jlha g++ gzip tar; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/lha-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "building the driver (release flags)..."
mkdir -p "$work/generated"
sed -e "s/@PROJECT_VERSION@/1.1/; s/@PROJECT_VERSION_MAJOR@/1/; s/@PROJECT_VERSION_MINOR@/1/; s/@PROJECT_VERSION_PATCH@/0/" \
    "$repo/cmake/version.h.in" >"$work/generated/version.h"
g++ -std=c++20 -O2 -DNDEBUG -I"$work/generated" \
    -I"$repo/src" "$repo/tools/lha-pack/main.cpp" "$repo"/src/lha/*.cpp -o "$work/lha-pack"

echo "building a ${target_mb} MB corpus..."
list_sources() {
    find "$1" -type f -readable -printf '%s\t%p\n' 2>/dev/null | LC_ALL=C sort -t$'\t' -k2
}
list_sources /usr/share/doc >"$work/doc.list"
list_sources /usr/include >"$work/include.list"
# Interleave the two lists so the corpus mixes text and compressed files.
paste -d'\n' "$work/doc.list" "$work/include.list" | grep -v '^$' |
    awk -F'\t' -v limit=$((target_mb * 1000 * 1000)) \
        'total + $1 <= limit { total += $1; print $2 }' >"$work/files.list"
mkdir -p "$work/src/corpus"
tar -cf - -T "$work/files.list" 2>/dev/null | tar -xf - -C "$work/src/corpus"
corpus_bytes=$(find "$work/src/corpus" -type f -printf '%s\n' | awk '{ t += $1 } END { print t }')
corpus_files=$(find "$work/src/corpus" -type f | wc -l)
echo "corpus: $corpus_bytes bytes of file data in $corpus_files files"

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc -l; }

run_ours() {
    rm -f "$work/ours.lzh"
    "$work/lha-pack" a -x1 -r2 "$work/ours.lzh" "$work/src/corpus" >/dev/null
}
run_jlha() {
    rm -f "$work/jlha.lzh"
    (cd "$work/src" && jlha a2o5q "$work/jlha.lzh" corpus >/dev/null)
}
run_gzip() {
    tar -cf - -C "$work/src" corpus | gzip -6 >"$work/ref.tar.gz"
}

# Warm the page cache once so the first round is not the only cold one.
run_gzip

: >"$work/times"
for ((r = 1; r <= rounds; r++)); do
    if ((r % 2)); then order="ours jlha gzip"; else order="jlha ours gzip"; fi
    line="$r"
    declare -A t=()
    for who in $order; do
        sync
        start=$(now)
        "run_$who"
        t[$who]=$(elapsed "$start" "$(now)")
    done
    ratio=$(echo "${t[ours]} / ${t[jlha]}" | bc -l)
    printf 'round %d: ours %.3f s, jlha %.3f s, tar|gzip %.3f s, ours/jlha %.3f\n' \
        "$r" "${t[ours]}" "${t[jlha]}" "${t[gzip]}" "$ratio"
    echo "${t[ours]} ${t[jlha]} ${t[gzip]} $ratio" >>"$work/times"
done

median() {
    cut -d' ' -f"$1" "$work/times" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ours_size=$(stat -c %s "$work/ours.lzh")
jlha_size=$(stat -c %s "$work/jlha.lzh")
gzip_size=$(stat -c %s "$work/ref.tar.gz")
echo
echo "corpus           $corpus_bytes bytes, $corpus_files files, $rounds rounds"
printf 'ours  (-lh5-)    %10d bytes  median %.3f s\n' "$ours_size" "$(median 1)"
printf 'jlha  (a2o5q)    %10d bytes  median %.3f s\n' "$jlha_size" "$(median 2)"
printf 'tar | gzip -6    %10d bytes  median %.3f s\n' "$gzip_size" "$(median 3)"
printf 'median time ratio ours/jlha: %.3f   size ratio ours/jlha: %.4f\n' \
    "$(median 4)" "$(echo "$ours_size / $jlha_size" | bc -l)"

# Our archive must also pass jlha's own test.
if jlha t "$work/ours.lzh" >/dev/null 2>&1; then
    echo "jlha t on our archive: OK"
else
    echo "jlha t on our archive: FAILED"
fi
