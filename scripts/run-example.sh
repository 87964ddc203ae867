#!/usr/bin/env bash
# Sets up what is missing, builds Travonix, and converts the bundled example:
# objdump disassembles examples/demo.elf, travonix-cli writes one .bas file per
# function into examples/out/ and tells where they are.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" "$root/build"

out="$root/examples/out"
mkdir -p "$out"
"$root/build/src/travonix-cli" \
    --objdump "mipsel-linux-gnu-objdump -D -z" \
    --dis "$out/demo.dis" \
    --output "$out" \
    "$root/examples/demo.elf"
echo
echo "The CFunction blocks are in $out:"
ls -1 "$out"
