#!/usr/bin/env bash
# The Windows lane: builds the parts that need no Qt (the conversion core, the
# relocation check, the Windows process runner and file writer, the command
# lines for the disassembler and the help document) for Windows with
# MinGW-w64, with their tests, and runs the tests under wine: through wine's
# cmd.exe, its processes and its files.
#   scripts/test-windows.sh [BUILD_DIR]     (default: build-wine)
# The wine prefix lives in the build folder; no display is needed, since the
# tests are console programs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-wine}"
started=$SECONDS

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine64)
bash "$root/scripts/install-packages.sh" "${packages[@]}"

# Debian's wine64 package puts its programs outside PATH unless the "wine"
# package is there too.
wine="$(command -v wine64 || true)"
[[ -n "$wine" ]] || wine=/usr/lib/wine/wine64
wineserver="$(command -v wineserver || true)"
[[ -n "$wineserver" ]] || wineserver="$(dirname "$wine")/wineserver"

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
# No Mono and no Gecko: nothing here needs .NET or a browser engine, and
# their installers would ask for a download.
export WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root/tests/windows" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
fi
cmake --build "$build" -j "$(nproc)"

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Creating the wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >"$build/wineboot.log" 2>&1 || {
        cat "$build/wineboot.log"
        exit 1
    }
fi

status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
# Nothing of wine stays running after the lane.
"$wineserver" -k 2>/dev/null || true
echo "Windows lane: $((SECONDS - started)) s"
exit $status
