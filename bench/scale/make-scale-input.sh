#!/usr/bin/env bash
# Makes the scale benchmarks' input in OUT_DIR from real toolchain output:
#   scale-N.elf   the generated program of N functions, linked
#   scale-N.dis   objdump -D -z of it, with CR LF line ends like the fixtures
# The program is the one gen-scale-program.sh writes, built with the fixtures'
# compiler flags and their linker script with the flash made large enough
# (about 3 MB of code and tables for 20,000 functions; the fixtures' script
# holds 512 KiB).
# Compiling 20,000 functions takes minutes, so that ELF file is kept here
# compressed (scale-20000.elf.xz) and only unpacked; --compile builds it anyway.
#   make-scale-input.sh [--compile] N OUT_DIR
# Prints the listing's path. An existing whole listing is kept.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fixtures="$here/../../tests/fixtures"

compile=false
if [[ "${1:-}" == "--compile" ]]; then
    compile=true
    shift
fi
n="${1:?usage: make-scale-input.sh [--compile] N OUT_DIR}"
out="${2:?usage: make-scale-input.sh [--compile] N OUT_DIR}"
name="scale-$n"
stored="$here/$name.elf.xz"

. "$fixtures/toolchain.sh"
needed=("$objdump")
if $compile || [[ ! -f "$stored" ]]; then
    needed+=("$cc")
fi
require_tools "${needed[@]}"

mkdir -p "$out"
cd "$out"
if [[ -f "$name.dis" ]] && ! $compile; then
    echo "$out/$name.dis"
    exit 0
fi

if $compile || [[ ! -f "$stored" ]]; then
    # The fixtures' layout, only with room for the whole chain of routines.
    sed 's/LENGTH = 0x80000$/LENGTH = 0x400000/' "$fixtures/pic32.ld" >scale.ld
    grep -q 'LENGTH = 0x400000$' scale.ld || {
        echo "the flash line of $fixtures/pic32.ld has changed: adapt make-scale-input.sh" >&2
        exit 1
    }
    "$here/gen-scale-program.sh" "$n" >"$name.c"
    # The fixtures' flags, with this layout.
    fixture_flags scale.ld
    "$cc" "${flags[@]}" -o "$name.elf.tmp" "$name.c"
    mv "$name.elf.tmp" "$name.elf"
else
    xz -dc "$stored" >"$name.elf.tmp"
    mv "$name.elf.tmp" "$name.elf"
fi

disassemble "$name.dis" -D -z "$name.elf"
echo "$out/$name.dis"
