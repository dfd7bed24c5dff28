#!/usr/bin/env bash
# The caption counts the wait down once a second: "Tolvane：待機中   残り待ち時間59秒".
. "$(dirname "$0")/common.sh"
make_home

mkdir -p "$HOME_DIR/source" "$HOME_DIR/dest"
echo "a file" >"$HOME_DIR/source/a.txt"
crlf "[Tolvane]" "Interval=60000" "SaveAt=$(native_path "$HOME_DIR/dest")" >"$HOME_DIR/Tolvane.Ini"
crlf "$(native_path "$HOME_DIR/source")" >"$HOME_DIR/Tolvane.dat"

start_program
show_main_window
main=$(find_window "$MAIN_TITLE")

# The seconds the caption shows, or nothing when it shows no countdown.
shown_seconds() {
    local caption
    caption=$(xdotool getwindowname "$main")
    [[ "$caption" =~ ^Tolvane：待機中\ \ \ 残り待ち時間([0-9]+)秒$ ]] && echo "${BASH_REMATCH[1]}"
}
wait_for 10 shown_seconds >/dev/null || fail "no countdown caption: $(xdotool getwindowname "$main")"

# Five seconds of captions, read ten times a second.
seen=()
start=$SECONDS
while [ $((SECONDS - start)) -lt 5 ]; do
    value=$(shown_seconds) || fail "the caption lost its countdown: $(xdotool getwindowname "$main")"
    [ ${#seen[@]} -gt 0 ] && [ "${seen[-1]}" = "$value" ] || seen+=("$value")
    sleep 0.1
done
# Each change takes one second off, and about one happens each second.
for ((i = 1; i < ${#seen[@]}; i++)); do
    [ $((seen[i - 1] - seen[i])) -eq 1 ] || fail "the countdown went ${seen[*]}"
done
[ ${#seen[@]} -ge 4 ] && [ ${#seen[@]} -le 7 ] || fail "${#seen[@]} values in 5 s: ${seen[*]}"
[ "${seen[0]}" -le 60 ] && [ "${seen[0]}" -ge 40 ] || fail "the countdown began at ${seen[0]}"
exit_by_shortcut
echo "PASS"
