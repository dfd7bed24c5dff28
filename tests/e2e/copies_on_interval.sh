#!/usr/bin/env bash
# Two sources and a short interval: the timed run copies both with their times.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/source/inner" "$HOME_DIR/dest"
echo "folder file" >"$HOME_DIR/source/inner/a.txt"
echo "single file" >"$HOME_DIR/single.txt"
touch -d "2021-03-04 05:06:07" "$HOME_DIR/source/inner/a.txt"
touch -d "2020-01-02 03:04:05" "$HOME_DIR/single.txt"
crlf "[Tolvane]" "Interval=2000" "SaveAt=$HOME_DIR/dest" >"$HOME_DIR/Tolvane.Ini"
crlf "$HOME_DIR/source" "$HOME_DIR/single.txt" >"$HOME_DIR/Tolvane.dat"

start_program
wait_for 20 test -f "$HOME_DIR/dest/single.txt" || fail "no copy after 20 s: $(cat "$HOME_DIR/output.log")"
wait_for 5 test -f "$HOME_DIR/dest/source/inner/a.txt" || fail "the folder was not copied"

cmp "$HOME_DIR/source/inner/a.txt" "$HOME_DIR/dest/source/inner/a.txt" || fail "content differs"
cmp "$HOME_DIR/single.txt" "$HOME_DIR/dest/single.txt" || fail "content differs"
[ "$(stat -c %Y "$HOME_DIR/dest/single.txt")" = "$(stat -c %Y "$HOME_DIR/single.txt")" ] ||
    fail "the copy lost its modification time"
[ "$(stat -c %Y "$HOME_DIR/dest/source/inner/a.txt")" = \
    "$(stat -c %Y "$HOME_DIR/source/inner/a.txt")" ] || fail "the folder copy lost its time"

# A termination request ends it at once, asking nothing and saving nothing.
kill -TERM "$PROGRAM_PID"
wait_for_end 10
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS after SIGTERM: $(cat "$HOME_DIR/output.log")"
[ ! -e "$HOME_DIR/Tolvane.Ini.tmp" ] || fail "left a temporary file"
echo "PASS"
