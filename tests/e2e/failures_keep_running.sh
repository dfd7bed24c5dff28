#!/usr/bin/env bash
# A saved list that holds a file its user cannot read: every timed run copies
# the rest and says so in one message that waits for nobody, the next run's
# message takes the open one's place, and the program keeps running.
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/src" "$HOME_DIR/dest"
echo "a" >"$HOME_DIR/src/a.txt"
echo "secret" >"$HOME_DIR/src/locked.txt"
echo "z" >"$HOME_DIR/src/z.txt"
echo "last" >"$HOME_DIR/last.txt"
chmod 000 "$HOME_DIR/src/locked.txt"
crlf "[Tolvane]" "Interval=3000" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
crlf "$(native_path "$HOME_DIR/src")" "$(native_path "$HOME_DIR/last.txt")" >"$HOME_DIR/Tolvane.dat"

# An ordinary user: the superuser reads every file.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$HOME_DIR"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
(cd "$HOME_DIR" && exec "${run_as[@]}" env HOME="$HOME_DIR" ./Tolvane >"$HOME_DIR/output.log" 2>&1) &
PROGRAM_PID=$!

# Exactly one visible window titled "Tolvane" (the main window adds its status).
report_windows() {
    local id count=0
    for id in $(program_windows); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$MESSAGE_TITLE" ] && count=$((count + 1))
    done
    echo "$count"
}
one_report() { [ "$(report_windows)" -eq 1 ]; }

wait_for 30 test -f "$HOME_DIR/dest/last.txt" || fail "no copy after 30 s: $(cat "$HOME_DIR/output.log")"
cmp "$HOME_DIR/src/a.txt" "$HOME_DIR/dest/src/a.txt" || fail "a.txt was not copied"
cmp "$HOME_DIR/src/z.txt" "$HOME_DIR/dest/src/z.txt" || fail "z.txt was not copied"
[ ! -e "$HOME_DIR/dest/src/locked.txt" ] || fail "the unreadable file has a copy"
wait_for 10 one_report || fail "no message about the unreadable file"

# The open message holds nothing up: the next timed run copies again.
rm "$HOME_DIR/dest/last.txt"
wait_for 20 test -f "$HOME_DIR/dest/last.txt" || fail "no second timed run while the message was open"
sleep 1
one_report || fail "$(report_windows) message windows after two runs, not one"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended: $(cat "$HOME_DIR/output.log")"

log="$HOME_DIR/Tolvane.log"
[ "$(grep -c "locked.txt" "$log")" -ge 4 ] || fail "the record does not name the file in both runs: $(cat "$log")"
grep -q "コピーできなかった項目：1" "$log" || fail "the record has no count of failures"

end_session
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS at the session's end: $(cat "$HOME_DIR/output.log")"
echo "PASS"
