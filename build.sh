#!/usr/bin/env bash
# Tolvane's one entry point: ./build.sh run | test
set -euo pipefail
cd "$(dirname "$0")"

# Debian packages, in one place.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev)
TEST_PACKAGES=(lhasa libarchive-tools jlha-utils xvfb xauth xdotool locales)
RUN_PACKAGES=(fonts-noto-cjk)

usage() {
    echo "usage: $0 run|test" >&2
    exit 2
}

install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The number tests run under a comma-decimal locale.
ensure_test_locale() {
    locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
    run)
        install_missing "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
        cmake --preset default >/dev/null
        cmake --build --preset default -j "$jobs"
        program=build/default/src/app/Tolvane
        if [ ! -x "$program" ]; then
            echo "The desktop program is not built yet; the engine runner is at build/default/tools/tolvane-run."
            exit 0
        fi
        exec "$program"
        ;;
    test)
        install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
        ensure_test_locale
        cmake --preset test >/dev/null
        cmake --build --preset test -j "$jobs"
        ctest --preset test -j "$jobs"
        ;;
    *)
        usage
        ;;
esac
