#pragma once

#include <cstdio>
#include <string>

namespace travonix::test {

// Listing text as objdump writes it on Windows (CR LF), made up on the spot.
inline const std::string kListingHead =
    "\r\nx.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
    "Disassembly of section .text:\r\n\r\n";

// A function of `words` distinct instructions at `address`, then its empty line.
inline std::string listedFunction(const std::string& name, unsigned address, int words) {
    char line[64];
    std::snprintf(line, sizeof line, "%08x <%s>:\r\n", address, name.c_str());
    std::string text = line;
    for (int i = 0; i < words; ++i) {
        std::snprintf(line, sizeof line, "%08x:\t%08x \taddiu\tv0,v0,%d\r\n", address + 4 * i,
                      0x24420000u + i, i);
        text += line;
    }
    return text + "\r\n";
}

// A listing of `count` functions f0, f1, ... of two words each.
inline std::string manyFunctions(int count) {
    std::string text = kListingHead;
    for (int k = 0; k < count; ++k)
        text += listedFunction("f" + std::to_string(k), 0x9d000000u + 8u * k, 2);
    return text;
}

} // namespace travonix::test
