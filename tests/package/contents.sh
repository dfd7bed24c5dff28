#!/usr/bin/env bash
# The package holds both programs, the desktop entry, the icons, the metadata
# and the manual pages, and depends on what the program needs at run time.
. "$(dirname "$0")/common.sh"
unpack_package

for path in usr/bin/Tolvane usr/bin/tolvane-run \
    usr/share/applications/tolvane.desktop \
    usr/share/man/man1/Tolvane.1.gz usr/share/man/man1/tolvane-run.1.gz \
    usr/share/doc/tolvane/copyright usr/share/doc/tolvane/changelog.gz; do
    [ -f "$ROOT/$path" ] || fail "missing /$path"
done
for size in 16 24 32 48 64 128 256; do
    [ -f "$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/tolvane.png" ] ||
        fail "missing the ${size}x${size} icon"
done
compgen -G "$ROOT/usr/share/metainfo/*.metainfo.xml" >/dev/null || fail "no AppStream metadata"
for program in Tolvane tolvane-run; do
    [ -x "$ROOT/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done

# The manual pages say where the settings live.
zcat "$ROOT/usr/share/man/man1/Tolvane.1.gz" | grep -q 'XDG_CONFIG_HOME' ||
    fail "the manual page does not name the user settings folder"

depends=$(dpkg-deb -f "$TOLVANE_PACKAGE" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 qt6-qpa-plugins \
    fonts-noto-cjk qt6-translations-l10n; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
echo "PASS"
