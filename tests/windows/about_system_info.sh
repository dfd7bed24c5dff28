#!/usr/bin/env bash
# The about box's system-information button starts the program the registry
# names for it (here Wine's Notepad stands in), and says so when none is named.
. "$(dirname "$0")/../e2e/common.sh"
make_home
crlf "[Tolvane]" "Interval=600000" >"$HOME_DIR/Tolvane.Ini"
: >"$HOME_DIR/Tolvane.dat"
key='HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO'
"$TOLVANE_WINE" reg delete "$key" /f >/dev/null 2>&1 || true

start_program
show_main_window
main=$(find_window "$MAIN_TITLE")
open_about_box() {
    # ヘルプ, then its one item バージョン情報.
    xdotool mousemove --window "$main" 100 10 click 1
    sleep 0.5
    xdotool key --clearmodifiers Down Return
    wait_for 10 find_window "Tolvaneのﾊﾞｰｼﾞｮﾝ情報" >/dev/null || fail "no about box"
}
press_system_info() {
    # The button's middle; the box has a fixed layout.
    xdotool mousemove --window "$(find_window "Tolvaneのﾊﾞｰｼﾞｮﾝ情報")" 358 244 click 1
}

open_about_box
press_system_info
wait_for 10 find_window "$MESSAGE_TITLE" >/dev/null || fail "no message without a registered program"
xdotool windowfocus --sync "$(find_window "$MESSAGE_TITLE")"
xdotool key --clearmodifiers Return

"$TOLVANE_WINE" reg add "$key" /v PATH /d 'C:\windows\system32\notepad.exe' /f >/dev/null 2>&1
trap '"$TOLVANE_WINE" reg delete "$key" /f >/dev/null 2>&1 || true; stop_program; stop_wine; stop_x_server; rm -rf "$HOME_DIR"' EXIT
press_system_info
notepad() { xdotool search --onlyvisible --name "Notepad" 2>/dev/null | head -n 1 | grep -q .; }
wait_for 20 notepad || fail "the registered program did not start"
echo "PASS"
