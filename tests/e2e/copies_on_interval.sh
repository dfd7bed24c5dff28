#!/usr/bin/env bash
# Two sources with Japanese names and a short interval: the timed run copies
# both with their times, and the end of the session ends the program at once.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/資料/内側" "$HOME_DIR/dest"
echo "folder file" >"$HOME_DIR/資料/内側/メモ.txt"
echo "single file" >"$HOME_DIR/単独.txt"
touch -d "2021-03-04 05:06:07" "$HOME_DIR/資料/内側/メモ.txt"
touch -d "2020-01-02 03:04:05" "$HOME_DIR/単独.txt"
crlf "[Tolvane]" "Interval=2000" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
crlf "$(native_path "$HOME_DIR/資料")" "$(native_path "$HOME_DIR/単独.txt")" >"$HOME_DIR/Tolvane.dat"

start_program
wait_for 30 test -f "$HOME_DIR/dest/単独.txt" || fail "no copy after 30 s: $(cat "$HOME_DIR/output.log")"
wait_for 5 test -f "$HOME_DIR/dest/資料/内側/メモ.txt" || fail "the folder was not copied"

cmp "$HOME_DIR/資料/内側/メモ.txt" "$HOME_DIR/dest/資料/内側/メモ.txt" || fail "content differs"
cmp "$HOME_DIR/単独.txt" "$HOME_DIR/dest/単独.txt" || fail "content differs"
[ "$(stat -c %Y "$HOME_DIR/dest/単独.txt")" = "$(stat -c %Y "$HOME_DIR/単独.txt")" ] ||
    fail "the copy lost its modification time"
[ "$(stat -c %Y "$HOME_DIR/dest/資料/内側/メモ.txt")" = \
    "$(stat -c %Y "$HOME_DIR/資料/内側/メモ.txt")" ] || fail "the folder copy lost its time"

# The end of the session ends it at once, asking nothing and saving nothing.
end_session
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS at the session's end: $(cat "$HOME_DIR/output.log")"
[ ! -e "$HOME_DIR/Tolvane.Ini.tmp" ] || fail "left a temporary file"
echo "PASS"
