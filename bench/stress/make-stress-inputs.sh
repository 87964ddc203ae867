#!/usr/bin/env bash
# Writes the two listings that push one run hardest for its input's size, in
# objdump's form with CR LF line ends like the fixtures:
#   gap-filler.dis   a routine of a few words whose "..." gaps add up to the
#                    most zero words one read puts back (kMaxFillerWordsPerRead
#                    of src/core/GapFilling.h: 4 MiB of zeros), from about 2 KB
#   long-function.dis  one routine a million lines long (about 33 MiB)
#   make-stress-inputs.sh OUT_DIR
# Prints the two paths. Existing files are kept.
set -euo pipefail
out="${1:?usage: make-stress-inputs.sh OUT_DIR}"
mkdir -p "$out"

head() {
    printf '\r\nstress.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n'
    printf 'Disassembly of section .text:\r\n\r\n'
}

# 16 gaps of kMaxGapWords (65,536) words each: 1,048,576 words, the read's
# whole allowance, each gap ending at the next word objdump printed.
if [[ ! -f "$out/gap-filler.dis" ]]; then
    {
        head
        printf '9d000000 <filled>:\r\n'
        awk 'BEGIN {
            base = 2634022912  # 0x9d000000
            for (g = 0; g <= 16; ++g) {
                a = base + g * (65536 * 4 + 4)
                printf "%08x:\t%08x \taddiu\tv0,v0,%d\r\n", a, 608305152 + g, g
                if (g < 16)
                    printf "\t...\r\n"
            }
            printf "%08x:\t03e00008 \tjr\tra\r\n", base + 17 * (65536 * 4 + 4) - 65536 * 4
            printf "\r\n"
        }'
    } >"$out/gap-filler.dis.tmp"
    mv "$out/gap-filler.dis.tmp" "$out/gap-filler.dis"
fi

# One routine of a million words.
if [[ ! -f "$out/long-function.dis" ]]; then
    {
        head
        printf '9d000000 <long_routine>:\r\n'
        awk 'BEGIN {
            base = 2634022912
            for (i = 0; i < 999999; ++i)
                printf "%08x:\t00441021 \taddu\tv0,v0,a0\r\n", base + 4 * i
            printf "%08x:\t03e00008 \tjr\tra\r\n\r\n", base + 4 * 999999
        }'
    } >"$out/long-function.dis.tmp"
    mv "$out/long-function.dis.tmp" "$out/long-function.dis"
fi
echo "$out/gap-filler.dis"
echo "$out/long-function.dis"
