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

cc=mipsel-linux-gnu-gcc
objdump=mipsel-linux-gnu-objdump
needed=("$objdump")
if $compile || [[ ! -f "$stored" ]]; then
    needed+=("$cc")
fi
for tool in "${needed[@]}"; do
    command -v "$tool" >/dev/null || {
        echo "$tool not found: install gcc-mipsel-linux-gnu and binutils-mipsel-linux-gnu" >&2
        exit 1
    }
done

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
    # The flags of tests/fixtures/make-fixtures.sh; relative names, so no
    # machine path ends up in the ELF file or the listing.
    flags=(-march=mips32r2 -EL -fno-pic -mno-abicalls -G0 -O1 -ffreestanding -nostdlib
           -fno-asynchronous-unwind-tables -fno-toplevel-reorder -no-pie
           -Wl,--build-id=none -Wl,-n -Wall -Wextra -T scale.ld)
    "$cc" "${flags[@]}" -o "$name.elf.tmp" "$name.c"
    mv "$name.elf.tmp" "$name.elf"
else
    xz -dc "$stored" >"$name.elf.tmp"
    mv "$name.elf.tmp" "$name.elf"
fi

# The listing replaces an old one only when whole.
"$objdump" -D -z "$name.elf" | sed 's/$/\r/' >"$name.dis.tmp"
mv "$name.dis.tmp" "$name.dis"
echo "$out/$name.dis"
