#!/usr/bin/env bash
# Builds Qt 6 Widgets for Windows from Debian's qt6-base source package, with
# the mingw-w64 cross compilers and the host's Qt tools, once per machine.
#
#   cmake/qt-windows.sh built    prints where that Qt is, or fails when it is not built
#   cmake/qt-windows.sh build    builds it unless it is already built
#
# Static, and only what the program needs: Core, Gui, Widgets, the windows
# platform plugin, and Test for the desktop tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/tolvane"
prefix="$cache/qt6-mingw-$version"
done_mark="$prefix/.tolvane-complete"

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# apt-get source needs a deb-src entry; add one for the mirror and suites the
# machine already uses when it has none.
ensure_source_entry() {
    if apt-get source --print-uris -qq "qt6-base=$version" 2>/dev/null | grep -q "\.dsc"; then
        return 0
    fi
    local list=/etc/apt/sources.list.d/tolvane-qt-source.sources entries
    # One deb-src stanza per repository the machine takes packages from.
    entries="$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
        sort -u | awk '
            { if ($1 in suites) suites[$1] = suites[$1] " " $2; else suites[$1] = $2 }
            END { for (uri in suites) printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n", uri, suites[uri] }')"
    if [ -z "$entries" ]; then
        echo "No Debian mirror is configured; cannot fetch the qt6-base sources." >&2
        exit 1
    fi
    echo "Adding deb-src entries for the configured mirrors in $list, to fetch qt6-base's sources."
    printf '%s\n' "$entries" | "${sudo[@]}" tee "$list" >/dev/null
    "${sudo[@]}" apt-get update -qq
}

build() {
    if [ -e "$done_mark" ]; then
        echo "Qt for Windows is already built in $prefix"
        return 0
    fi
    local started work
    started=$(date +%s)
    ensure_source_entry
    work="$cache/qt6-mingw-$version.work"
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    echo "Building Qt $version for Windows into $prefix (about half an hour on two cores)"
    (cd "$work" && apt-get source -qq --download-only "qt6-base=$version")
    # apt has checked the files against the archive's signed index.
    dpkg-source -x "$work"/qt6-base_*.dsc "$work/src" >"$work/unpack.log" 2>&1

    # Tablet events need sources the Debian package leaves out. Without
    # Direct2D the DirectWrite 3 font database is not built, so nothing may
    # refer to it. No bundled font engine: Windows renders the fonts itself.
    cmake -G Ninja -S "$work/src" -B "$work/build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR= \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_SHARED_LIBS=OFF \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_tabletevent=OFF \
        -DFEATURE_direct2d=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_icu=OFF \
        -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_sql_sqlite=OFF \
        -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON \
        >"$work/configure.log" 2>&1 || {
        tail -n 40 "$work/configure.log" >&2
        echo "Qt's configuration failed; the whole log is $work/configure.log" >&2
        exit 1
    }
    cmake --build "$work/build" --parallel "$(nproc 2>/dev/null || echo 2)"
    cmake --install "$work/build" >/dev/null
    touch "$done_mark"
    rm -rf "$work"
    local minutes size
    minutes=$((($(date +%s) - started + 59) / 60))
    size="$(du -sh "$prefix" | cut -f1)"
    echo "Built Qt for Windows in $minutes min, $size in $prefix"
}

case "${1:-}" in
    built)
        [ -e "$done_mark" ] || exit 1
        echo "$prefix"
        ;;
    build) build ;;
    *)
        echo "usage: $0 built|build" >&2
        exit 2
        ;;
esac
