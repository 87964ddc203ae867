#include "SyntheticListing.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace travonix::bench {

namespace {

constexpr int kInstructionsPerFunction = 16;

void appendLine(std::string& text, std::size_t& lines, const char* format, std::uint32_t a,
                std::uint32_t b = 0) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b);
    text += line;
    text += "\r\n";
    ++lines;
}

} // namespace

std::string syntheticListing(std::size_t wanted) {
    std::string text = "\r\nbench.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
                       "Disassembly of section .text:\r\n\r\n";
    std::size_t lines = 6;
    std::vector<std::uint32_t> starts;
    std::uint32_t address = 0x9d000000;
    for (unsigned f = 0; lines < wanted; ++f) {
        starts.push_back(address);
        appendLine(text, lines, "%08x <func_%u>:", address, f);
        for (int i = 0; i < kInstructionsPerFunction; ++i, address += 4) {
            if (i % 5 == 1 && f > 0) {
                // Mostly near calls; every 16th reaches back to the first function.
                const std::uint32_t target = (f % 16 == 0) ? starts.front() : starts[f - 1];
                appendLine(text, lines, "%08x:\t0f400000 \tjal\t%08x <func>", address, target);
            } else if (i % 7 == 3) {
                appendLine(text, lines, "%08x:\t08400000 \tj\t%08x <here>", address, address);
            } else {
                appendLine(text, lines, "%08x:\t24420001 \taddiu\tv0,v0,1", address);
            }
        }
        if (f % 3 == 0) {
            text += "\t...\r\n";
            ++lines;
            address += 4 * 5; // padding objdump skipped
        }
        text += "\r\n";
        ++lines;
    }
    text += "Disassembly of section .rodata:\r\n\r\n";
    appendLine(text, lines, "%08x <table>:", address);
    for (int i = 0; i < 64; ++i, address += 4) {
        appendLine(text, lines, "%08x:\t00000001 \tmovf\tzero,zero,$fcc0", address);
        if (i % 8 == 7) {
            text += "\t...\r\n";
            address += 4 * 3;
        }
    }
    return text;
}

} // namespace travonix::bench
