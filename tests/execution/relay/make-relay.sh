#!/usr/bin/env bash
# Rebuilds the re-laying fixtures: relay.c linked with ../corpus/corpus.ld at
# -O1, -O2 and -Os into relay-O1.elf ... and their listings relay-O1.dis ...
# (CR LF line ends, as the vendor's objdump on Windows writes them). The
# output is deterministic: running the script again changes no file.
#   tests/execution/relay/make-relay.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

cc=mipsel-linux-gnu-gcc
objdump=mipsel-linux-gnu-objdump
cflags=(-march=mips32r2 -EL -fno-pic -mno-abicalls -G0 -ffreestanding -nostdlib
        -fno-asynchronous-unwind-tables -no-pie -Wl,--build-id=none -Wl,-z,max-page-size=16
        -Wl,-e,byte_at -T ../corpus/corpus.ld)

for level in O1 O2 Os; do
    "$cc" "${cflags[@]}" "-$level" -o "relay-$level.elf" relay.c
    "$objdump" -D -z "relay-$level.elf" | sed 's/$/\r/' > "relay-$level.dis"
    echo "made relay-$level.elf and relay-$level.dis"
done
