#!/usr/bin/env bash
# Sets up what is missing, then builds and runs every test twice: a normal
# build and an AddressSanitizer + UndefinedBehaviorSanitizer build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen

"$root/scripts/setup.sh" "$root/build" -DTRAVONIX_WERROR=ON
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"

"$root/scripts/setup.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTRAVONIX_SANITIZE=ON -DTRAVONIX_WERROR=ON \
    -DTRAVONIX_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"
bash "$root/scripts/test-windows.sh" "$root/build-wine"

# A short fuzzing run over the whole conversion on every build.
bash "$root/scripts/fuzz.sh" 60
