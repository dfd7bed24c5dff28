#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, made on first use.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if command -v wine64 >/dev/null 2>&1; then
    wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
else
    wine=wine
fi
if [ ! -d "$WINEPREFIX" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot_lock="$WINEPREFIX.lock"
    (
        flock 9
        [ -d "$WINEPREFIX/drive_c" ] || "$wine" wineboot --init >/dev/null 2>&1 || true
    ) 9>"$wineboot_lock"
fi
exec "$wine" "$@"
