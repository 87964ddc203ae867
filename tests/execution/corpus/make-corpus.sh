#!/usr/bin/env bash
# Rebuilds the execution corpus: every *.c here becomes NAME.elf (linked with
# corpus.ld at the PIC32 addresses) and NAME.dis, the listing objdump writes
# for it, with CR LF line ends as the vendor's objdump on Windows writes them.
# The output is deterministic: running the script again changes no file.
#   tests/execution/corpus/make-corpus.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

cc=mipsel-linux-gnu-gcc
objdump=mipsel-linux-gnu-objdump
cflags=(-march=mips32r2 -EL -fno-pic -mno-abicalls -G0 -O1 -ffreestanding -nostdlib
        -fno-asynchronous-unwind-tables -no-pie -Wl,--build-id=none -Wl,-z,max-page-size=16 -T corpus.ld)

for source in *.c; do
    name="${source%.c}"
    "$cc" "${cflags[@]}" -o "$name.elf" "$source"
    "$objdump" -D -z "$name.elf" | sed 's/$/\r/' > "$name.dis"
    echo "made $name.elf and $name.dis"
done
