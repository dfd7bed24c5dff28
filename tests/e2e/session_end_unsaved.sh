#!/usr/bin/env bash
# The end of the session with an unsaved edit: the program ends at once,
# asking nothing and saving nothing.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/dest"
crlf "[Tolvane]" "Interval=60000" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"
cp "$HOME_DIR/Tolvane.Ini" "$HOME_DIR/settings.before"

start_program
show_main_window
edit_interval

end_session
asked=no
deadline=$((SECONDS + 20))
while kill -0 "$PROGRAM_PID" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    find_window "$MESSAGE_TITLE" >/dev/null && asked=yes
    sleep 0.2
done
[ "$asked" = no ] || fail "a question or message showed at the session's end"
wait_for_end 5
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS at the session's end: $(cat "$HOME_DIR/output.log")"
cmp "$HOME_DIR/settings.before" "$HOME_DIR/Tolvane.Ini" || fail "the settings were written"
echo "PASS"
