#include "check/FindingAdvice.h"

#include <string>

namespace travonix::check {

std::string_view absoluteAddressAdvice(AddressAdvice which) {
    constexpr std::string_view kElsewhere =
        ", where the linked program had it; the interpreter loads the CFunction elsewhere, so the "
        "address points into the interpreter's own memory. ";
    static const std::string table =
        std::string(kElsewhere) +
        "Keep the table in the routine as immediate values, or pass its address from BASIC as an "
        "argument.";
    static const std::string codeTable =
        std::string(kElsewhere) +
        "Tables of code addresses come from switches (build with -fno-jump-tables) and function "
        "pointers (call the routines directly).";
    static const std::string codeAddress =
        std::string(kElsewhere) +
        "Call the routine directly (merge mode keeps every routine in one block), or pass its "
        "address from BASIC.";
    switch (which) {
    case AddressAdvice::Table:
        return table;
    case AddressAdvice::CodeTable:
        return codeTable;
    case AddressAdvice::CodeAddress:
        break;
    }
    return codeAddress;
}

Finding settled(Finding finding) {
    finding.detail.shrink_to_fit();
    return finding;
}

} // namespace travonix::check
