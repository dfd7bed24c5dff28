# shellcheck shell=bash
# Shared by the package checks: the package file and a throwaway root with
# the package unpacked in it.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -f "$TOLVANE_PACKAGE" ] || fail "no package at $TOLVANE_PACKAGE; ./build.sh package makes it"

# Sets WORK_DIR (removed at exit) and ROOT, the package unpacked.
unpack_package() {
    WORK_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-package.XXXXXX")
    trap 'chmod -R u+w "$WORK_DIR"; rm -rf "$WORK_DIR"' EXIT
    ROOT="$WORK_DIR/root"
    dpkg -x "$TOLVANE_PACKAGE" "$ROOT"
}
