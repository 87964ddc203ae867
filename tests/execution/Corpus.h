#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace travonix::execution {

// What a corpus routine can be expected to do at an address other than its
// link address.
enum class Placement {
    Relocatable,       // runs anywhere once its jumps are relative
    PositionDependent, // reaches code or data through absolute addresses
    OutOfReach,        // calls code further away than a branch reaches
};

// One call of a routine. With a buffer, the buffer is put at the machine's
// scratch address and a0 points at it; the buffer is compared after the call.
struct CorpusCall {
    CorpusCall(std::array<std::int32_t, 4> arguments, std::vector<std::uint8_t> bytes = {})
        : args(arguments), buffer(std::move(bytes)) {}

    std::array<std::int32_t, 4> args{};
    std::vector<std::uint8_t> buffer;
};

struct CorpusFunction {
    std::string program; // corpus/<program>.c, .elf, .dis
    std::string name;    // the routine's symbol
    Placement placement = Placement::Relocatable;
    // Calls no other routine of the program: its block alone is all it needs.
    bool selfContained = true;
    std::vector<CorpusCall> calls;
};

// Every code routine of the corpus listings, with the calls it is run with.
const std::vector<CorpusFunction>& corpusFunctions();

// The programs of the corpus (the stems of corpus/*.c).
const std::vector<std::string>& corpusPrograms();

// Path of corpus/<file>.
std::string corpusPath(const std::string& file);

} // namespace travonix::execution
