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

# Debian's wineserver script starts the server with -p0: it begins to shut
# down the moment no program of the prefix is left running, and from then on
# it refuses to start any process (a CreateProcess fails with "shutdown in
# progress") until it is gone. "wine wineboot -i" returns while wineboot's
# own work (a second wineboot, winemenubuilder, services) still runs for
# seconds, so a test started then could land on a server about to go. The
# lane therefore waits for the server of the boot to end, then runs the tests
# under one persistent server of its own, ended when the lane ends.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Creating the wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >"$build/wineboot.log" 2>&1 || {
        cat "$build/wineboot.log"
        exit 1
    }
    "$wineserver" -w
fi
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wineserver" -p </dev/null >/dev/null 2>&1
# The first cmd.exe of a prefix starts the services, the desktop and the
# console host; the tests find them running. They stay as long as the server
# does, so they must not hold the output of ctest or of a test.
"$wine" cmd.exe /C exit 0 </dev/null >"$build/warm-up.log" 2>&1 || {
    cat "$build/warm-up.log"
    exit 1
}

status=0
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
echo "Windows lane: $((SECONDS - started)) s"
exit $status
