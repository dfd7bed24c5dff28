#!/usr/bin/env bash
# The desktop entry and the AppStream metadata pass their validators, and the
# metadata shows the README's screenshots.
. "$(dirname "$0")/common.sh"
unpack_package

desktop-file-validate "$ROOT/usr/share/applications/tolvane.desktop" ||
    fail "desktop-file-validate"
metainfo=$(compgen -G "$ROOT/usr/share/metainfo/*.metainfo.xml")
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

screenshots=$(grep -o 'docs/[A-Za-z0-9_-]*\.png' "$TOLVANE_SOURCE/README.md" | sort -u)
[ -n "$screenshots" ] || fail "no screenshots found in the README"
for shot in $screenshots; do
    grep -q "<image>[^<]*/$shot</image>" "$metainfo" || fail "the metadata lacks $shot"
done
[ "$(grep -c '<image>' "$metainfo")" -eq "$(wc -w <<<"$screenshots")" ] ||
    fail "the metadata shows screenshots the README does not"
echo "PASS"
