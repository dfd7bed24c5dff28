#!/usr/bin/env bash
# Yesterday's large day folder is archived at the end of a run: the progress
# window shows while the main window keeps answering, "キャンセル" stops the
# packing and keeps the folder, and a termination request during the next
# packing leaves the folder and no archive either.
. "$(dirname "$0")/common.sh"
make_home

day=$(date -d yesterday +%Y%m%d)
folder="$HOME_DIR/dest/$day"
mkdir -p "$folder/sub"
seq 1 700000 >"$folder/numbers.txt"
for i in 1 2 3; do seq "$i" 3 1500000 >"$folder/sub/part$i.txt"; done
crlf "[Tolvane]" "Interval=2000" "SaveAt=$HOME_DIR/dest" "DateCopy=True" \
    "DateCopyNomal=False" "DateCopyCompress=True" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"
fingerprint() { (cd "$folder" && find . -type f -exec md5sum {} + | LC_ALL=C sort); }
before=$(fingerprint)

expect_folder_alone() {
    [ "$(ls -A "$HOME_DIR/dest")" = "$day" ] || fail "$1: the destination holds $(ls -A "$HOME_DIR/dest")"
    [ "$(fingerprint)" = "$before" ] || fail "$1: the day folder changed"
}

start_program
wait_for 30 find_window "Tolvane：圧縮中" || fail "no progress window: $(cat "$HOME_DIR/output.log")"
progress=$(find_window "Tolvane：圧縮中")

# The main window still has its caption and serves events: the cancel button
# is pressed through the X server and the program answers with the
# archiving error.
find_window "Tolvane：処理中" >/dev/null || fail "the main window's caption cannot be read while packing"
xdotool windowfocus --sync "$progress"
xdotool key --clearmodifiers space
wait_for 20 find_window "$MESSAGE_TITLE" || fail "no message after the cancel"
! find_window "Tolvane：圧縮中" >/dev/null || fail "the progress window stayed after the step"
expect_folder_alone "after the cancel"
xdotool windowfocus --sync "$(find_window "$MESSAGE_TITLE")"
xdotool key --clearmodifiers Return

# The next timed run packs the folder again; a termination request stops it.
wait_for 30 find_window "Tolvane：圧縮中" || fail "the next run did not archive"
sleep 1
kill -TERM "$PROGRAM_PID"
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS after SIGTERM: $(cat "$HOME_DIR/output.log")"
expect_folder_alone "after SIGTERM"
echo "PASS"
