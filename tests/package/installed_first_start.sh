#!/usr/bin/env bash
# The installed program, run by an ordinary user who cannot write to its
# folder: the first start names ~/.config/tolvane/Tolvane.dat and creates it,
# the next start shows the window (no notification area here).
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/../e2e/common.sh"
unpack_package
chmod 755 "$WORK_DIR"
USER_HOME="$WORK_DIR/home"
mkdir "$USER_HOME"
HOME_DIR="$WORK_DIR"

# An ordinary user: the superuser may write anywhere, so it runs as nobody.
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$USER_HOME"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
else
    chmod a-w "$ROOT/usr/bin"
    run_as=()
fi
trap 'stop_program; stop_x_server; chmod -R u+w "$WORK_DIR"; rm -rf "$WORK_DIR"' EXIT
start_x_server

start_installed() {
    (cd "$USER_HOME" && exec "${run_as[@]}" env -u XDG_CONFIG_HOME HOME="$USER_HOME" \
        "$ROOT/usr/bin/Tolvane" >"$WORK_DIR/output.log" 2>&1) &
    PROGRAM_PID=$!
}

start_installed
wait_for 20 find_window "$MESSAGE_TITLE" || fail "no message box: $(cat "$WORK_DIR/output.log")"
! find_window "$MAIN_TITLE" >/dev/null || fail "the main window showed on the first start"
box=$(find_window "$MESSAGE_TITLE")
xdotool windowfocus --sync "$box"
xdotool key --clearmodifiers Return
wait_for_end 10
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS: $(cat "$WORK_DIR/output.log")"
data="$USER_HOME/.config/tolvane/Tolvane.dat"
[ -f "$data" ] || fail "no $data: $(cat "$WORK_DIR/output.log")"
[ ! -s "$data" ] || fail "the data file is not empty"
[ -z "$(find "$ROOT/usr/bin" -name 'Tolvane.*')" ] || fail "settings were written beside the program"

start_installed
wait_for 20 find_window "$MAIN_TITLE" ||
    fail "no main window on the second start: $(cat "$WORK_DIR/output.log")"
main=$(find_window "$MAIN_TITLE")
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+F4
wait_for_end 10
[ "$EXIT_STATUS" -eq 0 ] || fail "status $EXIT_STATUS after the exit command"
echo "PASS"
