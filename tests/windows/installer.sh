#!/usr/bin/env bash
# The release under Wine, in a prefix of its own: the zip holds the five
# files; a silent install puts the program, the Start-menu and Startup
# shortcuts and the uninstall key in place; the installed program's first
# start creates %APPDATA%\tolvane\Tolvane.dat; a silent uninstall leaves
# nothing but the settings.
#   installer.sh WINE_RUN SETUP_EXE ZIP
. "$(dirname "$0")/../e2e/common.sh"
wine_run="$1" setup="$2" zip="$3"

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-installer.XXXXXX")
HOME_DIR="$work"
chmod 755 "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No menu entries for the Linux desktop from Wine's shortcut handling.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
WINESERVER=/usr/lib/wine/wineserver
command -v wineserver >/dev/null 2>&1 && WINESERVER=wineserver

# An ordinary user: the superuser may write into any folder, so the folder
# the rule finds closed would be open to it. Wine wants its prefix to be the
# user's own.
user=$(id -un)
as_user=(env)
if [ "$(id -u)" -eq 0 ]; then
    user=nobody
    chown nobody:nogroup "$work"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups -- env)
fi
as_user+=(HOME="$work" USER="$user" LOGNAME="$user" WINEPREFIX="$WINEPREFIX"
    WINEDEBUG=-all WINEDLLOVERRIDES="$WINEDLLOVERRIDES")
wine() { "${as_user[@]}" DISPLAY="${DISPLAY:-}" "$wine_run" "$@"; }
stop_wine() { "${as_user[@]}" "$WINESERVER" -k 2>/dev/null || true; }
trap 'stop_program; stop_wine; stop_x_server; chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT

# The zip: the programs, the Japanese README, the licence and the notices.
listing=$(bsdtar tf "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$listing" = "LICENSE.txt README.txt THIRD-PARTY.txt Tolvane.exe tolvane-run.exe " ] ||
    fail "the zip holds: $listing"
readme=$(bsdtar xOf "$zip" README.txt)
grep -q '%APPDATA%\\tolvane' <<<"$readme" || fail "README.txt does not say where the settings live"
notices=$(bsdtar xOf "$zip" THIRD-PARTY.txt)
grep -q 'Debian qt6-base [0-9]' <<<"$notices" || fail "THIRD-PARTY.txt does not name Qt's source"

start_x_server
cp "$setup" "$work/setup.exe"
wine "$work/setup.exe" /S || fail "the silent install failed"
"${as_user[@]}" "$WINESERVER" -w

users="$WINEPREFIX/drive_c/users/$user"
programs="$users/AppData/Local/Programs/Tolvane"
menu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
settings="$users/AppData/Roaming/tolvane"
installed="C:\\users\\$user\\AppData\\Local\\Programs\\Tolvane"
for file in Tolvane.exe tolvane-run.exe README.txt LICENSE.txt THIRD-PARTY.txt Uninstall.exe; do
    [ -f "$programs/$file" ] || fail "the install left no $file in $programs"
done
[ -f "$menu/Tolvane.lnk" ] || fail "no Start-menu entry"
[ -f "$menu/StartUp/Tolvane.lnk" ] || fail "no Startup shortcut (ログイン時に起動 is ticked by default)"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane'
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in DisplayName DisplayVersion UninstallString QuietUninstallString InstallLocation; do
    grep -q "$value" <<<"$entry" || fail "the uninstall key lacks $value: $entry"
done
grep -q 'AppData\\Local\\Programs\\Tolvane\\Uninstall.exe' <<<"$entry" || fail "the uninstall key: $entry"

# On Windows the installer makes the program folder read-only for its user;
# Wine keeps no access rules on its folders, so the test closes it the way
# Wine's user sees it.
chmod a-w "$programs"

# The first start from the Start menu's folder: the data file is created in
# the user's settings folder, not beside the program.
(cd "$work" && exec "${as_user[@]}" DISPLAY="$DISPLAY" "$wine_run" "$installed\\Tolvane.exe" \
    >"$work/output.log" 2>&1) &
PROGRAM_PID=$!
wait_for 60 find_window "$MESSAGE_TITLE" || fail "no first-start message: $(cat "$work/output.log")"
xdotool windowfocus --sync "$(find_window "$MESSAGE_TITLE")"
xdotool key --clearmodifiers Return
wait_for_end 20
[ "$EXIT_STATUS" -eq 0 ] || fail "the first start ended with status $EXIT_STATUS"
[ -f "$settings/Tolvane.dat" ] || fail "no $settings/Tolvane.dat: $(ls -R "$users/AppData" 2>&1 | head -40)"
[ -z "$(find "$programs" -iname 'Tolvane.dat' -o -iname 'Tolvane.ini')" ] ||
    fail "settings were written beside the installed program"

# The uninstaller gives the folder back before it removes it.
chmod u+w "$programs"
wine "$installed\\Uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller runs on from a copy of itself; it is done when Wine is.
"${as_user[@]}" "$WINESERVER" -w
[ ! -e "$programs" ] || fail "the program folder is still there: $(ls -A "$programs")"
[ ! -e "$menu/Tolvane.lnk" ] || fail "the Start-menu entry is still there"
[ ! -e "$menu/StartUp/Tolvane.lnk" ] || fail "the Startup shortcut is still there"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall key is still there"
[ "$(ls -A "$settings")" = "Tolvane.dat" ] || fail "the settings folder holds: $(ls -A "$settings")"
echo "PASS"
