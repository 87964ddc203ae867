#!/usr/bin/env bash
# Sets up what is missing, builds travonix-cli (nothing else), and converts the
# bundled example: objdump disassembles examples/demo.elf, travonix-cli writes
# one .bas file per function into examples/out/ and tells where they are.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TRAVONIX_SETUP=example TRAVONIX_TARGETS=travonix-cli "$root/scripts/setup.sh" "$root/build-example" \
    -DTRAVONIX_BUILD_TESTS=OFF -DTRAVONIX_BUILD_BENCHMARKS=OFF

out="$root/examples/out"
mkdir -p "$out"
"$root/build-example/src/travonix-cli" \
    --objdump "mipsel-linux-gnu-objdump -D -z" \
    --dis "$out/demo.dis" \
    --output "$out" \
    "$root/examples/demo.elf"
echo
echo "The CFunction blocks are in $out:"
ls -1 "$out"
