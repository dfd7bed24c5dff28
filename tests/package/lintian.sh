#!/usr/bin/env bash
# Debian's own package checker finds no error.
. "$(dirname "$0")/common.sh"
lintian --fail-on error "$TOLVANE_PACKAGE" || fail "lintian reports errors"
echo "PASS"
