#!/usr/bin/env bash
# The notification-area icon over D-Bus (StatusNotifierItem): a watcher on a
# private session bus sees it register, with its tooltip and the 操作 menu,
# and drives that menu.
. "$(dirname "$0")/common.sh"
make_home
: >"$HOME_DIR/Tolvane.dat"
HOME_DIR="$HOME_DIR" dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/sni_watcher.py"
