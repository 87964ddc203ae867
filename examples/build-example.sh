#!/usr/bin/env bash
# Builds the example program demo.c into demo.elf and writes its listing
# demo.dis with objdump -D -z, CR LF line ends, as the target desktop's
# toolchain does. Runs from this folder with relative names, so no machine
# path ends up in the listing; running it again gives identical files.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

cc=mipsel-linux-gnu-gcc
objdump=mipsel-linux-gnu-objdump
for tool in "$cc" "$objdump"; do
    command -v "$tool" >/dev/null || {
        echo "$tool not found: install gcc-mipsel-linux-gnu and binutils-mipsel-linux-gnu" >&2
        exit 1
    }
done

# -no-pie: the Debian cross compiler links position-independent by default.
# -fno-toplevel-reorder: routines and tables land in source order.
# --build-id=none and -n: no note section, no page alignment in the file.
"$cc" -march=mips32r2 -EL -fno-pic -mno-abicalls -G0 -O1 -ffreestanding -nostdlib \
    -fno-asynchronous-unwind-tables -fno-toplevel-reorder -no-pie \
    -Wl,--build-id=none -Wl,-n -Wall -Wextra -T pic32.ld -o demo.elf demo.c
"$objdump" -D -z demo.elf | sed 's/$/\r/' >demo.dis.tmp
mv demo.dis.tmp demo.dis
