#!/usr/bin/env bash
# The first start finds no data file: it says so, creates it empty and ends.
. "$(dirname "$0")/common.sh"
make_home

start_program
wait_for 20 find_window "$MESSAGE_TITLE" || fail "no message box: $(cat "$HOME_DIR/output.log")"
box=$(find_window "$MESSAGE_TITLE")
! find_window "$MAIN_TITLE" >/dev/null || fail "the main window showed before the message was answered"
xdotool windowfocus --sync "$box"
xdotool key --clearmodifiers Return
wait_for_end 10
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS: $(cat "$HOME_DIR/output.log")"
[ -f "$HOME_DIR/Tolvane.dat" ] || fail "no data file"
[ ! -s "$HOME_DIR/Tolvane.dat" ] || fail "the data file is not empty"

# The second start runs with an empty list; its window, once shown, ends
# with the exit shortcut.
start_program
show_main_window
exit_by_shortcut
echo "PASS"
