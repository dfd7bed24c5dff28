#!/usr/bin/env bash
# Packs one corpus of about 35 MB (documentation and C/C++ headers copied from
# this machine; CORPUS=text leaves out files already compressed) four ways,
# side by side in every round:
#   ours    our LHA writer, one compressing thread per core
#   ours-1  the same with one thread
#   jlha    jlha a2o5q (level-2 headers, -lh5-)
#   gzip    tar | gzip -6
# The order turns round by round because disk speed drifts; each round's
# times are divided by that round's jlha time and the medians of those ratios
# are reported, with sizes and peak memory (/usr/bin/time -v). Other programs
# sharing the CPU show up as scatter between rounds: run several.
#
# Timings drift on a shared machine: INSTRUCTIONS=1 also counts our
# single-thread run's instructions under callgrind, once.
#
# Usage: bench/lha-vs-peers.sh [rounds]     (TARGET_MB=35, CORPUS=mixed by default)
set -euo pipefail

rounds=${1:-5}
target_mb=${TARGET_MB:-35}
corpus_kind=${CORPUS:-mixed}
repo=$(cd "$(dirname "$0")/.." && pwd)

for tool in jlha lhasa bsdtar 7zz g++ gzip tar bc /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/lha-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "building the driver (release flags)..."
mkdir -p "$work/generated"
sed -e "s/@PROJECT_VERSION@/1.1/; s/@PROJECT_VERSION_MAJOR@/1/; s/@PROJECT_VERSION_MINOR@/1/; s/@PROJECT_VERSION_PATCH@/0/" \
    "$repo/cmake/version.h.in" >"$work/generated/version.h"
g++ -std=c++20 -O2 -DNDEBUG -I"$work/generated" -pthread \
    -I"$repo/src" "$repo/tools/lha-pack/main.cpp" "$repo"/src/lha/*.cpp \
    "$repo"/src/platform/*.cpp "$repo"/src/platform/posix/*.cpp -o "$work/lha-pack"

echo "building a ${target_mb} MB corpus..."
list_sources() {
    find "$1" -type f -readable -printf '%s\t%p\n' 2>/dev/null | LC_ALL=C sort -t$'\t' -k2
}
list_sources /usr/share/doc >"$work/doc.list"
list_sources /usr/include >"$work/include.list"
# Interleave the two lists so the corpus mixes text and compressed files.
compressed='\.(gz|bz2|xz|zst|lz|lzma|zip|tgz|Z|png|jpg|jpeg|gif|ico)$'
if [ "$corpus_kind" = text ]; then
    keep() { grep -Ev "$compressed"; }
else
    keep() { cat; }
fi
paste -d'\n' "$work/doc.list" "$work/include.list" | grep -v '^$' | keep |
    awk -F'\t' -v limit=$((target_mb * 1000 * 1000)) \
        'total + $1 <= limit { total += $1; print $2 }' >"$work/files.list"
mkdir -p "$work/src/corpus"
tar -cf - -T "$work/files.list" 2>/dev/null | tar -xf - -C "$work/src/corpus"
corpus_bytes=$(find "$work/src/corpus" -type f -printf '%s\n' | awk '{ t += $1 } END { print t }')
corpus_files=$(find "$work/src/corpus" -type f | wc -l)
echo "corpus ($corpus_kind): $corpus_bytes bytes of file data in $corpus_files files, $(nproc) cores"

run_ours() {
    rm -f "$work/ours.lzh"
    "$work/lha-pack" a -x1 -r2 "$work/ours.lzh" "$work/src/corpus" >/dev/null
}
run_ours1() {
    rm -f "$work/ours1.lzh"
    "$work/lha-pack" --threads 1 a -x1 -r2 "$work/ours1.lzh" "$work/src/corpus" >/dev/null
}
run_jlha() {
    rm -f "$work/jlha.lzh"
    (cd "$work/src" && jlha a2o5q "$work/jlha.lzh" corpus >/dev/null)
}
run_gzip() {
    tar -cf - -C "$work/src" corpus | gzip -6 >"$work/ref.tar.gz"
}
export -f run_ours run_ours1 run_jlha run_gzip
export work

# Runs one contender under /usr/bin/time -v; prints "seconds peak-KiB".
measure() {
    sync
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -v -o "$work/time.out" bash -c "run_$1"
    end=$(date +%s.%N)
    local peak
    peak=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.out")
    echo "$(echo "$end - $start" | bc -l) $peak"
}

# Warm the page cache once so the first round is not the only cold one.
run_gzip

contenders=(ours ours1 jlha gzip)
: >"$work/rounds"
for ((r = 1; r <= rounds; r++)); do
    # Rotate the order: each contender goes first in turn.
    order=()
    for ((k = 0; k < ${#contenders[@]}; k++)); do
        order+=("${contenders[(k + r - 1) % ${#contenders[@]}]}")
    done
    declare -A t=() m=()
    for who in "${order[@]}"; do
        read -r secs peak < <(measure "$who")
        t[$who]=$secs
        m[$who]=$peak
    done
    r_ours=$(echo "${t[ours]} / ${t[jlha]}" | bc -l)
    r_ours1=$(echo "${t[ours1]} / ${t[jlha]}" | bc -l)
    r_gzip=$(echo "${t[ours]} / ${t[gzip]}" | bc -l)
    printf 'round %d (%s): ours %.3f s, ours-1 %.3f s, jlha %.3f s, tar|gzip %.3f s;' \
        "$r" "${order[*]}" "${t[ours]}" "${t[ours1]}" "${t[jlha]}" "${t[gzip]}"
    printf ' ours/jlha %.3f, ours-1/jlha %.3f, ours/gzip %.3f\n' "$r_ours" "$r_ours1" "$r_gzip"
    echo "${t[ours]} ${t[ours1]} ${t[jlha]} ${t[gzip]} $r_ours $r_ours1 $r_gzip" \
        "${m[ours]} ${m[ours1]} ${m[jlha]}" >>"$work/rounds"
done

median() {
    cut -d' ' -f"$1" "$work/rounds" | sort -g |
        awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
most() {
    cut -d' ' -f"$1" "$work/rounds" | sort -g | tail -1
}

ours_size=$(stat -c %s "$work/ours.lzh")
ours1_size=$(stat -c %s "$work/ours1.lzh")
jlha_size=$(stat -c %s "$work/jlha.lzh")
gzip_size=$(stat -c %s "$work/ref.tar.gz")
echo
echo "corpus ($corpus_kind) $corpus_bytes bytes, $corpus_files files, $rounds rounds, $(nproc) cores"
printf '%-18s %10s %10s %12s\n' "" "bytes" "median s" "peak MiB"
printf '%-18s %10d %10.3f %12.1f\n' "ours (-lh5-)" "$ours_size" "$(median 1)" "$(echo "$(most 8) / 1024" | bc -l)"
printf '%-18s %10d %10.3f %12.1f\n' "ours, 1 thread" "$ours1_size" "$(median 2)" "$(echo "$(most 9) / 1024" | bc -l)"
printf '%-18s %10d %10.3f %12.1f\n' "jlha a2o5q" "$jlha_size" "$(median 3)" "$(echo "$(most 10) / 1024" | bc -l)"
printf '%-18s %10d %10.3f\n' "tar | gzip -6" "$gzip_size" "$(median 4)"
printf 'median of per-round time ratios: ours/jlha %.3f (target 0.3), ours-1/jlha %.3f, ours/gzip %.3f\n' \
    "$(median 5)" "$(median 6)" "$(median 7)"
printf 'size ratios: ours/jlha %.4f (never above 1), ours/gzip %.4f\n' \
    "$(echo "$ours_size / $jlha_size" | bc -l)" "$(echo "$ours_size / $gzip_size" | bc -l)"
if [ "$ours_size" -le "$jlha_size" ]; then
    echo "size: ours is no larger than jlha's"
else
    echo "size: ours is LARGER than jlha's"
fi

if cmp -s "$work/ours.lzh" "$work/ours1.lzh"; then
    echo "one thread and all threads: byte-identical archives"
else
    echo "one thread and all threads: archives DIFFER"
fi
# Our archive must also pass the other readers' tests.
check_reader() {
    if "$@" >/dev/null 2>&1; then
        echo "$1 on our archive: OK"
    else
        echo "$1 on our archive: FAILED"
    fi
}
check_reader jlha t "$work/ours.lzh"
check_reader lhasa t "$work/ours.lzh"
check_reader bsdtar -xOf "$work/ours.lzh"
check_reader 7zz t "$work/ours.lzh"

if [ "${INSTRUCTIONS:-0}" = 1 ]; then
    command -v valgrind >/dev/null || { echo "missing tool: valgrind" >&2; exit 2; }
    rm -f "$work/ours1.lzh"
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
        "$work/lha-pack" --threads 1 a -x1 -r2 "$work/ours1.lzh" "$work/src/corpus" \
        2>"$work/callgrind.log" >/dev/null
    echo "instructions, ours with 1 thread (callgrind):" \
        "$(awk '/refs:/ { print $NF }' "$work/callgrind.log")"
fi
