#!/usr/bin/env bash
# Yesterday's large day folder is archived at the end of a run: the progress
# window shows while the main window keeps answering, "キャンセル" stops the
# packing and keeps the folder, and the end of the session during the next
# packing leaves the folder and no archive either.
. "$(dirname "$0")/common.sh"
make_home

day=$(date -d yesterday +%Y%m%d)
folder="$HOME_DIR/dest/$day"
mkdir -p "$folder/sub"
# About 70 MB: an optimised build packs it for several seconds, and the
# packing is always stopped long before its end.
seq 1 2800000 >"$folder/numbers.txt"
for i in 1 2 3; do seq "$i" 3 6000000 >"$folder/sub/part$i.txt"; done
crlf "[Tolvane]" "Interval=5000" "SaveAt=$(native_path "$HOME_DIR/dest")" "DateCopy=True" \
    "DateCopyNomal=False" "DateCopyCompress=True" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"
fingerprint() { (cd "$folder" && find . -type f -exec md5sum {} + | LC_ALL=C sort); }
before=$(fingerprint)

expect_folder_alone() {
    [ "$(ls -A "$HOME_DIR/dest")" = "$day" ] || fail "$1: the destination holds $(ls -A "$HOME_DIR/dest")"
    [ "$(fingerprint)" = "$before" ] || fail "$1: the day folder changed"
}

start_program
# The main window is shown before the first run, whose caption is read.
show_main_window
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

# The next timed run packs the folder again; the session's end stops it.
wait_for 30 find_window "Tolvane：圧縮中" || fail "the next run did not archive"
sleep 1
end_session
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS at the session's end: $(cat "$HOME_DIR/output.log")"
expect_folder_alone "after the session's end"
echo "PASS"
