#include "core/FileNameCheck.h"

#include "core/Text.h"

#include <array>
#include <cstdio>

namespace travonix {

namespace {

bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9 name devices on Windows
// whatever extension follows them.
bool isWindowsDeviceName(std::string_view name) {
    std::string stem = toUpperAscii(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : kPlain)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// The length of the UTF-8 sequence that starts at `at`, or 0 when the bytes
// there are not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4;
    else
        return 0;
    if (at + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xc0) != 0x80)
            return 0;
    return length;
}

} // namespace

std::optional<std::string> fileNameProblem(std::string_view name, std::string_view extension) {
    if (name.empty())
        return "the name is empty";
    if (name == "." || name == "..")
        return "the name is a folder reference";
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '/' || ch == '\\')
            return "the name holds a path separator";
        if (isControlByte(c))
            return "the name holds a control character";
        if (std::string_view("<>:\"|?*").find(ch) != std::string_view::npos)
            return "the name holds a character that Windows does not allow in file names";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "the name ends with a dot or a blank, which Windows drops";
    if (isWindowsDeviceName(name))
        return "the name is a Windows device name";
    if (name.size() + extension.size() > kMaxFileNameLength)
        return "the name is longer than a file name can be";
    return std::nullopt;
}

std::string printableName(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t length = utf8SequenceLength(name, i);
        // U+0080..U+009F are the C1 controls: U+009B opens an escape sequence
        // on a terminal as ESC [ does.
        const bool c1 = length == 2 && c == 0xc2 && static_cast<unsigned char>(name[i + 1]) < 0xa0;
        if (c1) {
            char escaped[16];
            std::snprintf(escaped, sizeof escaped, "\\x%02X\\x%02X", c,
                          static_cast<unsigned char>(name[i + 1]));
            out += escaped;
            i += 2;
            continue;
        }
        if (length == 0 || isControlByte(c)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
            ++i;
            continue;
        }
        out.append(name.substr(i, length));
        i += length;
    }
    return out;
}

} // namespace travonix
