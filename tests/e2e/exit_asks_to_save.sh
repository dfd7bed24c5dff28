#!/usr/bin/env bash
# An edit followed by the exit command asks to save; Yes saves and ends.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/dest"
crlf "[Tolvane]" "Interval=60000" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"

start_program
show_main_window
edit_interval
xdotool key --clearmodifiers ctrl+F4

wait_for 10 find_window "$MESSAGE_TITLE" || fail "no question about saving"
xdotool windowfocus --sync "$(find_window "$MESSAGE_TITLE")"
xdotool key --clearmodifiers Return # Yes is the default button
# "設定を保存しました。" follows; OK it.
sleep 1
wait_for 10 find_window "$MESSAGE_TITLE" || fail "no saved message"
xdotool windowfocus --sync "$(find_window "$MESSAGE_TITLE")"
xdotool key --clearmodifiers Return
wait_for_end 10
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS"
grep -q "Interval=600005" "$HOME_DIR/Tolvane.Ini" || fail "the edit was not saved: $(cat "$HOME_DIR/Tolvane.Ini")"
echo "PASS"
