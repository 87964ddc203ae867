#!/usr/bin/env bash
# Builds the conversion fuzzer with clang's libFuzzer (with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs it for SECONDS (default 60) on the
# committed corpus, seeded with the real fixture listings. A crash, a leak or
# an output beyond its bound fails the run; the input is left in
# build-fuzz/crash-*.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"
mkdir -p "$build/generated/core" "$build/seeds"

# The version header, as CMake generates it.
version="$(sed -n 's/^project(Travonix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
IFS=. read -r major minor patch <<<"$version"
sed -e "s/@PROJECT_VERSION_MAJOR@/$major/" -e "s/@PROJECT_VERSION_MINOR@/$minor/" \
    -e "s/@PROJECT_VERSION_PATCH@/$patch/" -e "s/@PROJECT_VERSION@/$version/" \
    "$root/src/core/Version.h.in" >"$build/generated/core/Version.h.new"
cmp -s "$build/generated/core/Version.h.new" "$build/generated/core/Version.h" 2>/dev/null ||
    mv "$build/generated/core/Version.h.new" "$build/generated/core/Version.h"

binary="$build/conversion_fuzzer"
sources=("$root"/src/core/*.cpp "$root"/src/core/relay/*.cpp "$root"/src/check/*.cpp
         "$root/fuzz/ConversionFuzzer.cpp")
if [[ ! -x "$binary" ]] || [[ -n "$(find "${sources[@]}" "$root"/src/core/*.h \
        "$root"/src/core/relay/*.h "$root"/src/check/*.h \
        -newer "$binary" -print -quit)" ]]; then
    echo "Building the fuzzer"
    clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$root/src" -I"$build/generated" "${sources[@]}" -o "$binary"
fi

# Seeds: every fixture listing, once per choice of options (34: merge mode,
# re-laid with positionIndependent).
for listing in "$root"/tests/fixtures/*.dis "$root"/tests/fixtures/reloc/*.dis; do
    name="$(basename "$listing" .dis)"
    for choice in 0 1 2 4 26 34; do
        seed="$build/seeds/$name-$choice"
        [[ -f "$seed" ]] || { printf "\\$(printf '%03o' "$choice")"; cat "$listing"; } >"$seed"
    done
done

# What a run finds goes to build-fuzz/corpus: the committed corpus changes
# only by a deliberate merge (see fuzz/README.md).
mkdir -p "$build/corpus"
cd "$build"
"$binary" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 "$build/corpus" "$root/fuzz/corpus" "$build/seeds"
