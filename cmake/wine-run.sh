#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, made on first
# use, so no user's Wine set-up is touched.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wine}"
export WINEDEBUG=-all
# No prompts for Wine's optional .NET and browser parts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Debian's wine64 package has no command on the PATH unless "wine" is installed.
if command -v wine64 >/dev/null 2>&1; then
    wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
else
    wine=wine
fi
ready="$WINEPREFIX/.tolvane-ready"
if [ ! -e "$ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    # Tests start in parallel; one of them makes the prefix, the others wait.
    (
        flock 9
        if [ ! -e "$ready" ]; then
            "$wine" wineboot --init >/dev/null 2>&1 || true
            # Wine looks for its own fonts in the prefix only. A Japanese
            # font joins them, under the name Japanese Windows gives its
            # interface font, so the program's Japanese texts can be drawn.
            fonts="$WINEPREFIX/drive_c/windows/Fonts"
            mkdir -p "$fonts"
            cp /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
            japanese=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
            if [ -e "$japanese" ]; then
                cp "$japanese" "$fonts/"
                for name in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Yu Gothic UI"; do
                    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                        /v "$name" /d "Noto Sans CJK JP" /f >/dev/null 2>&1 || true
                done
            fi
            "${wine%64}server" -w 2>/dev/null || wineserver -w 2>/dev/null || true
            touch "$ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
