#!/usr/bin/env bash
# Installs what the build needs (only what is missing), then configures and
# builds one build folder.
#   scripts/setup.sh [BUILD_DIR] [extra cmake options...]
# TRAVONIX_SETUP=example installs and builds only what the bundled example
# runs (travonix-cli and objdump); the default is everything the tests need.
# TRAVONIX_TARGETS names the targets to build (default: all).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
          binutils-mipsel-linux-gnu)
if [[ "${TRAVONIX_SETUP:-full}" != example ]]; then
    packages+=(
        clang-format clang libclang-rt-dev libgtest-dev libgmock-dev libbenchmark-dev
        gcc-mipsel-linux-gnu libunicorn-dev g++-mingw-w64-x86-64-posix wine64
        xvfb xauth
    )
fi
bash "$root/scripts/install-packages.sh" "${packages[@]}"

if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
targets=()
for t in ${TRAVONIX_TARGETS:-}; do
    targets+=(--target "$t")
done
cmake --build "$build" "${targets[@]}"
