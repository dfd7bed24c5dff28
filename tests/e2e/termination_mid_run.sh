#!/usr/bin/env bash
# A termination request during a long run is acted on at the next file: the
# program ends without asking, and leaves no temporary file behind. Once for
# the desktop program copying a folder whole, once for the runner walking one.
. "$(dirname "$0")/common.sh"
make_home

FILES=300
mkdir -p "$HOME_DIR/source"
head -c 1048576 /dev/urandom >"$HOME_DIR/blob"
for i in $(seq 1 "$FILES"); do cp "$HOME_DIR/blob" "$HOME_DIR/source/f$i"; done

copies() { find "$1" -type f -name 'f*' 2>/dev/null | wc -l; }

# Holds the program as soon as its first copy is there, asks it to end and
# lets it go on.
terminate_after_first_copy() {
    until [ "$(copies "$1")" -gt 0 ]; do
        kill -0 "$PROGRAM_PID" 2>/dev/null || fail "ended before copying: $(cat "$HOME_DIR/output.log")"
    done
    kill -STOP "$PROGRAM_PID"
    kill -TERM "$PROGRAM_PID"
    kill -CONT "$PROGRAM_PID"
}

# Some copies, not all, each of them whole, and no temporary files.
check_stopped_early() {
    local copied
    copied=$(copies "$1")
    [ "$copied" -lt "$FILES" ] || fail "all $FILES files were copied before the program ended"
    [ -z "$(find "$1" -name '.tolvane-*')" ] || fail "left a temporary file: $(find "$1" -name '.tolvane-*')"
    for copy in $(find "$1" -type f -name 'f*'); do
        cmp -s "$copy" "$HOME_DIR/blob" || fail "$copy is not a whole copy"
    done
    echo "$copied of $FILES copied"
}

# The desktop program, whose first run copies the folder whole.
crlf "[Tolvane]" "Interval=1000" "SaveAt=$HOME_DIR/backup/dest" >"$HOME_DIR/Tolvane.Ini"
crlf "$HOME_DIR/source" >"$HOME_DIR/Tolvane.dat"
start_program
terminate_after_first_copy "$HOME_DIR/backup"
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS after SIGTERM: $(cat "$HOME_DIR/output.log")"
check_stopped_early "$HOME_DIR/backup"

# The runner, walking into an existing destination.
mkdir -p "$HOME_DIR/walked"
"$TOLVANE_RUN_BINARY" --save-at "$HOME_DIR/walked" "$HOME_DIR/source" >"$HOME_DIR/output.log" 2>&1 &
PROGRAM_PID=$!
terminate_after_first_copy "$HOME_DIR/walked"
wait_for_end 20
[ "$EXIT_STATUS" -eq 12 ] || fail "runner status $EXIT_STATUS after SIGTERM: $(cat "$HOME_DIR/output.log")"
check_stopped_early "$HOME_DIR/walked"
echo "PASS"
