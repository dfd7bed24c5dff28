#!/usr/bin/env bash
# Compares one tolvane-run copy run with cp -a and rsync -rt on the same tree,
# and a no-change run with rsync -rt and the cost of merely stat-ing both
# trees. Contenders alternate round by round, because disk speed drifts.
#
#   bench/mirror-vs-peers.sh [ROUNDS]
#
# TOLVANE_RUN=path/to/tolvane-run skips the build; otherwise a Release build
# is made in BUILD_DIR (default /tmp/build-engine-rel).
set -euo pipefail

rounds=${1:-7}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-/tmp/build-engine-rel}

if [[ -z ${TOLVANE_RUN:-} ]]; then
    cmake --preset default -S "$here" -B "$build" -DTOLVANE_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" --target tolvane-run -j2 >/dev/null
    TOLVANE_RUN=$build/tools/tolvane-run/tolvane-run
fi

work=$(mktemp -d /tmp/tolvane-bench.XXXXXX)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT

# make_tree DIR FOLDERS FILES_PER_FOLDER MAX_SIZE: random content, sizes from
# 100 bytes up to MAX_SIZE, skewed towards the top.
make_tree() {
    python3 - "$@" <<'PY'
import os, random, sys
root, folders, per, top = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
random.seed(1)
block = os.urandom(1 << 20)
outer = max(1, int(folders ** 0.5))
for f in range(folders):
    d = os.path.join(root, "g%03d" % (f % outer), "d%04d" % f)
    os.makedirs(d, exist_ok=True)
    for i in range(per):
        size = 100 + int((top - 100) * random.random() ** 0.5)
        start = random.randrange(0, len(block) - size)
        with open(os.path.join(d, "f%03d.dat" % i), "wb") as out:
            out.write(block[start:start + size])
PY
}

# Prints the wall time of a command in milliseconds.
ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else printf "%.3f\n", (v[NR/2]+v[NR/2+1])/2}'; }
spread() { sort -n | awk 'NR==1 {lo=$1} {hi=$1} END {printf "%s..%s", lo, hi}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f\n", (b > 0 ? a / b : 0)}'; }

src=$work/src
echo "building 20,000 files in 1,000 folders under $src ..."
make_tree "$src" 1000 20 8192
echo "tree: $(du -sm "$src" | cut -f1) MB, $(find "$src" -type f | wc -l) files"

declare -A times
declare -a full_cp_ratio full_rs_ratio none_floor_ratio none_rs_ratio

full_copy() { # CONTENDER ROUND
    local dst=$work/full-$1
    rm -rf "$dst"
    sync
    case $1 in
    tolvane) mkdir "$dst"; ms "$TOLVANE_RUN" --save-at "$dst" "$src" ;;
    cp) mkdir "$dst"; ms cp -a "$src" "$dst/" ;;
    rsync) mkdir "$dst"; ms rsync -rt "$src" "$dst/" ;;
    esac
}

no_change() { # CONTENDER
    case $1 in
    tolvane) ms "$TOLVANE_RUN" --save-at "$work/full-tolvane" "$src" ;;
    rsync) ms rsync -rt "$src" "$work/full-rsync/" ;;
    floor) ms find "$src" "$work/full-tolvane/src" -printf '%T@ %s\n' ;;
    esac
}

rotate() { # ROUND NAMES...: the names, shifted by ROUND
    local r=$1; shift
    local n=$# i
    local names=("$@")
    for ((i = 0; i < n; i++)); do echo "${names[(i + r) % n]}"; done
}

for ((r = 0; r < rounds; r++)); do
    for who in $(rotate "$r" tolvane cp rsync); do
        times[full-$who-$r]=$(full_copy "$who")
    done
    for who in $(rotate "$r" tolvane rsync floor); do
        times[none-$who-$r]=$(no_change "$who")
    done
    full_cp_ratio+=("$(ratio "${times[full-tolvane-$r]}" "${times[full-cp-$r]}")")
    full_rs_ratio+=("$(ratio "${times[full-tolvane-$r]}" "${times[full-rsync-$r]}")")
    none_floor_ratio+=("$(ratio "${times[none-tolvane-$r]}" "${times[none-floor-$r]}")")
    none_rs_ratio+=("$(ratio "${times[none-tolvane-$r]}" "${times[none-rsync-$r]}")")
    echo "round $((r + 1)): full tolvane ${times[full-tolvane-$r]} cp ${times[full-cp-$r]} rsync ${times[full-rsync-$r]} ms;" \
        "no-change tolvane ${times[none-tolvane-$r]} rsync ${times[none-rsync-$r]} floor ${times[none-floor-$r]} ms"
done

# Sanity: the copy is complete.
diff -r "$src" "$work/full-tolvane/src" >/dev/null && echo "tolvane copy matches the source"

med() { # KIND WHO
    for ((r = 0; r < rounds; r++)); do echo "${times[$1-$2-$r]}"; done | median
}
echo
echo "medians over $rounds rounds (ms):"
echo "  full copy   tolvane-run $(med full tolvane)   cp -a $(med full cp)   rsync -rt $(med full rsync)"
echo "  no change   tolvane-run $(med none tolvane)   rsync -rt $(med none rsync)   stat floor $(med none floor)"
echo "median of per-round ratios [lowest..highest]:"
echo "  full copy:  tolvane/cp -a      $(printf '%s\n' "${full_cp_ratio[@]}" | median) [$(printf '%s\n' "${full_cp_ratio[@]}" | spread)]   (target <= 1.15)"
echo "  full copy:  tolvane/rsync -rt  $(printf '%s\n' "${full_rs_ratio[@]}" | median) [$(printf '%s\n' "${full_rs_ratio[@]}" | spread)]"
echo "  no change:  tolvane/stat floor $(printf '%s\n' "${none_floor_ratio[@]}" | median) [$(printf '%s\n' "${none_floor_ratio[@]}" | spread)]   (target <= 1.2)"
echo "  no change:  tolvane/rsync -rt  $(printf '%s\n' "${none_rs_ratio[@]}" | median) [$(printf '%s\n' "${none_rs_ratio[@]}" | spread)]   (target < 1)"

# Peak memory of a no-change run over 100,000 files.
rm -rf "$work"/full-* "$src"
big=$work/big
echo
echo "building 100,000 files in 5,000 folders for the memory check ..."
make_tree "$big" 5000 20 1024
mkdir "$work/big-copy"
"$TOLVANE_RUN" --save-at "$work/big-copy" "$big" >/dev/null
peak=$(/usr/bin/time -f %M "$TOLVANE_RUN" --save-at "$work/big-copy" "$big" 2>&1 >/dev/null | tail -1)
echo "peak resident memory, no-change run over 100,000 files: $((peak / 1024)) MiB ($peak KiB; target < 64 MiB)"
