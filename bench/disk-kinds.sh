#!/usr/bin/env bash
# Backups of 5,000 files onto the disks users back up to, each mounted for
# real: exFAT (exfat-fuse on a loop image), the FAT stand-in
# (tests/support/fat_times_fs.py over a folder, keeping times as a FAT disk
# does) and ext4 (a loop image). On each:
#
# - the first run's time against cp -a and rsync -a on the same mount, the
#   three alternating round by round; the median of the per-round ratios. The
#   run ends with its disk flushed, the peers do not, so the ratios against
#   "cp -a; sync -f" are given too;
# - the second run: how many of the 5,000 files it copied again (target 0),
#   from the run record;
# - the flush's cost: a run with one changed file (which flushes) against a
#   no-change run (which writes nothing and flushes nothing), and the flush's
#   own system call timed under strace, after one changed file and at the
#   end of a first run; target: below 10 % of the no-change run. A flush of
#   the clean disk by itself (the sync program's start included) is shown
#   for comparison.
#
#   sudo bench/disk-kinds.sh [ROUNDS] [KINDS...]     (default 3; exfat fat ext4)
#
# FAT_TIMES=up|down|whole|none picks how the stand-in keeps times (default
# down, as Linux's vfat does). TOLVANE_RUN=path/to/tolvane-run skips the
# build; otherwise a Release build is made in BUILD_DIR.
set -euo pipefail

rounds=${1:-3}
shift || true
kinds=("$@")
[[ ${#kinds[@]} -gt 0 ]] || kinds=(exfat fat ext4)
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-/tmp/build-engine-rel}

if [[ $(id -u) -ne 0 ]]; then
    echo "loop devices and FUSE mounts need the superuser" >&2
    exit 1
fi
if [[ -z ${TOLVANE_RUN:-} ]]; then
    cmake --preset default -S "$here" -B "$build" -DTOLVANE_BUILD_GUI=OFF >/dev/null
    cmake --build "$build" --target tolvane-run -j2 >/dev/null
    TOLVANE_RUN=$build/tools/tolvane-run/tolvane-run
fi

work=$(mktemp -d /tmp/tolvane-disks.XXXXXX)
mounts=()
loops=()
cleanup() {
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || fusermount -u "$m" 2>/dev/null || true; done
    for l in "${loops[@]}"; do losetup -d "$l" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# mount_kind KIND: mounts an empty disk of that kind and prints its root.
mount_kind() {
    local kind=$1 mnt=$work/$1
    mkdir -p "$mnt"
    case $kind in
    fat)
        mkdir -p "$work/fat-backing"
        /usr/bin/python3 "$here/tests/support/fat_times_fs.py" "$work/fat-backing" "$mnt" \
            --times "${FAT_TIMES:-down}" >/dev/null 2>&1 &
        for _ in $(seq 100); do mountpoint -q "$mnt" && break; sleep 0.1; done
        mountpoint -q "$mnt" || { echo "the FAT stand-in did not mount" >&2; return 1; }
        ;;
    exfat | ext4)
        truncate -s 1G "$work/$kind.img"
        local dev
        dev=$(losetup -f --show "$work/$kind.img")
        loops+=("$dev")
        if [[ $kind == exfat ]]; then
            mkfs.exfat "$dev" >/dev/null && mount.exfat-fuse "$dev" "$mnt"
        else
            mkfs.ext4 -q "$dev" && mount "$dev" "$mnt"
        fi
        ;;
    esac
    mounts+=("$mnt")
}

# 5,000 files in 250 folders, random content of 100 bytes up to 8 KiB, and
# modification times spread over a year, with fractions of a second, as a
# user's files have them (files made in one go share a second or two).
make_tree() {
    python3 - "$1" <<'PY'
import os, random, sys
random.seed(1)
block = os.urandom(1 << 20)
for f in range(250):
    d = os.path.join(sys.argv[1], "g%02d" % (f % 16), "d%03d" % f)
    os.makedirs(d, exist_ok=True)
    for i in range(20):
        size = 100 + int(8092 * random.random() ** 0.5)
        start = random.randrange(0, len(block) - size)
        path = os.path.join(d, "f%02d.dat" % i)
        with open(path, "wb") as out:
            out.write(block[start:start + size])
        when = (1700000000 + random.randrange(365 * 86400)) * 10**9 + random.randrange(10**9)
        os.utime(path, ns=(when, when))
PY
}

# Prints the wall time of a command in milliseconds; its failures (a peer
# that cannot keep owners or modes there) do not stop the benchmark.
ms() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else printf "%.3f\n", (v[NR/2]+v[NR/2+1])/2}'; }
spread() { sort -n | awk 'NR==1 {lo=$1} {hi=$1} END {printf "%s..%s", lo, hi}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f\n", (b > 0 ? a / b : 0)}'; }
rotate() { # ROUND NAMES...: the names, shifted by ROUND
    local r=$1; shift
    local names=("$@") n=$# i
    for ((i = 0; i < n; i++)); do echo "${names[(i + r) % n]}"; done
}
# The files the last run copied, from its block of the run record.
copied_by_last_run() {
    grep -a 'コピーしたファイル：' "$1/Tolvane.log" | tail -1 | sed 's/.*：//; s/\r//'
}
# Runs tolvane-run under strace; prints the milliseconds spent in its flush.
flush_ms() {
    strace -f -T -e trace=syncfs -o "$work/strace" "$TOLVANE_RUN" "$@" >/dev/null 2>&1 || true
    awk -F'<' '/syncfs/ {sub(/>.*/, "", $NF); s += $NF} END {printf "%d\n", s * 1000}' "$work/strace"
}
cp_sync() { cp -a "$@" && sync -f "${@: -1}"; }
rsync_sync() { rsync -a "$@" && sync -f "${@: -1}"; }

src=$work/src
make_tree "$src"
echo "tree: $(find "$src" -type f | wc -l) files, $(du -sk "$src" | cut -f1) KiB; $rounds rounds; tolvane-run: $TOLVANE_RUN"

for kind in "${kinds[@]}"; do
    if ! mount_kind "$kind"; then
        echo "$kind: skipped, the disk could not be mounted"
        continue
    fi
    mnt=$work/$kind
    settings=$work/settings-$kind
    mkdir -p "$settings"
    # The first start only makes the settings files.
    "$TOLVANE_RUN" --settings "$settings" --save-at "$work/none" >/dev/null 2>&1 || true
    declare -A t=()
    declare -a r_cp=() r_rs=() r_cps=() r_rss=() again=() r_one=() r_clean=() r_flush1=() flushall=()
    for ((r = 0; r < rounds; r++)); do
        for who in $(rotate "$r" tolvane cp rsync cp+sync rsync+sync); do
            dst=$mnt/full-$who
            rm -rf "$dst"
            mkdir "$dst"
            sync -f "$mnt"
            case $who in
            tolvane) t[$who]=$(ms "$TOLVANE_RUN" --settings "$settings" --save-at "$dst" "$src") ;;
            cp) t[$who]=$(ms cp -a "$src" "$dst/") ;;
            rsync) t[$who]=$(ms rsync -a "$src" "$dst/") ;;
            cp+sync) t[$who]=$(ms cp_sync "$src" "$dst/") ;;
            rsync+sync) t[$who]=$(ms rsync_sync "$src" "$dst/") ;;
            esac
            # Room for the next: exFAT gives each small file a 32 KiB cluster.
            [[ $who == tolvane ]] || rm -rf "$dst"
        done
        first=$(copied_by_last_run "$settings")
        sync -f "$mnt"
        # The second run over the same copy: nothing should be copied again.
        t[second]=$(ms "$TOLVANE_RUN" --settings "$settings" --save-at "$mnt/full-tolvane" "$src")
        again+=("$(copied_by_last_run "$settings")")
        # A no-change run (nothing written, no flush) and a run with one
        # changed file (copied, then the disk flushed), in turn.
        for which in $(rotate "$r" none one); do
            [[ $which == one ]] && touch -d "@$((1700000000 + r * 2))" "$src/g00/d000/f00.dat"
            sync -f "$mnt"
            t[$which]=$(ms "$TOLVANE_RUN" --settings "$settings" --save-at "$mnt/full-tolvane" "$src")
        done
        t[clean]=$(ms sync -f "$mnt")
        # The flush by itself, as the system call takes it: after one changed
        # file, and at the end of a first run.
        touch -d "@$((1700000001 + r * 2))" "$src/g00/d000/f00.dat"
        sync -f "$mnt"
        t[flush1]=$(flush_ms --settings "$settings" --save-at "$mnt/full-tolvane" "$src")
        mkdir "$mnt/full-traced"
        sync -f "$mnt"
        t[flushall]=$(flush_ms --settings "$settings" --save-at "$mnt/full-traced" "$src")
        rm -rf "$mnt/full-traced"
        r_flush1+=("$(ratio "${t[flush1]}" "${t[none]}")")
        flushall+=("${t[flushall]}")
        r_cp+=("$(ratio "${t[tolvane]}" "${t[cp]}")")
        r_rs+=("$(ratio "${t[tolvane]}" "${t[rsync]}")")
        r_cps+=("$(ratio "${t[tolvane]}" "${t[cp+sync]}")")
        r_rss+=("$(ratio "${t[tolvane]}" "${t[rsync+sync]}")")
        r_one+=("$(ratio "$((t[one] - t[none]))" "${t[none]}")")
        r_clean+=("$(ratio "${t[clean]}" "${t[none]}")")
        echo "$kind round $((r + 1)): first run tolvane ${t[tolvane]} (copied $first) cp -a ${t[cp]}" \
            "rsync -a ${t[rsync]} cp+sync ${t[cp+sync]} rsync+sync ${t[rsync+sync]} ms;" \
            "second run ${t[second]} ms, copied again ${again[-1]}; no change ${t[none]} ms;" \
            "one change ${t[one]} ms;" \
            "flush of the clean disk ${t[clean]} ms; the run's flush after one change ${t[flush1]} ms," \
            "after a first run ${t[flushall]} ms"
    done
    diff -r "$src" "$mnt/full-tolvane/src" >/dev/null && echo "$kind: the copy matches the source" ||
        echo "$kind: the copy DIFFERS from the source"
    m() { printf '%s\n' "$@" | median; }
    s() { printf '%s\n' "$@" | spread; }
    echo "$kind: median of per-round ratios [lowest..highest]"
    echo "  first run  tolvane/cp -a             $(m "${r_cp[@]}") [$(s "${r_cp[@]}")]"
    echo "  first run  tolvane/rsync -a          $(m "${r_rs[@]}") [$(s "${r_rs[@]}")]"
    echo "  first run  tolvane/(cp -a; sync)     $(m "${r_cps[@]}") [$(s "${r_cps[@]}")]"
    echo "  first run  tolvane/(rsync -a; sync)  $(m "${r_rss[@]}") [$(s "${r_rss[@]}")]"
    echo "  second run copied again (of 5,000)   $(m "${again[@]}") [$(s "${again[@]}")]   (target 0)"
    echo "  one change over no change, - 1       $(m "${r_one[@]}") [$(s "${r_one[@]}")]   (copy + flush; target < 0.1)"
    echo "  the run's flush after one change / no-change run  $(m "${r_flush1[@]}") [$(s "${r_flush1[@]}")]   (target < 0.1)"
    echo "  the run's flush at the end of a first run (ms)    $(m "${flushall[@]}") [$(s "${flushall[@]}")]"
    echo "  sync -f of the clean disk / no-change run  $(m "${r_clean[@]}") [$(s "${r_clean[@]}")]   (a run that wrote nothing does not flush)"
    unset t
done
