#pragma once

#include "execution/Corpus.h"
#include "execution/MipsMachine.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace travonix::execution {

// What one call of a routine did: how it ended, its result and the buffer
// its pointer argument named, as it stood afterwards.
struct CallOutcome {
    RunStatus status = RunStatus::Fault;
    std::uint32_t v0 = 0;
    std::vector<std::uint8_t> buffer;
    std::string error;

    // Both returned with the same result and the same buffer.
    bool matches(const CallOutcome& other) const;
};

std::ostream& operator<<(std::ostream& out, const CallOutcome& outcome);
std::ostream& operator<<(std::ostream& out, const CorpusCall& call);

// Puts the call's buffer at the scratch address (a0 then points at it), calls
// `entry` and reads the buffer back.
CallOutcome runCall(MipsMachine& machine, std::uint32_t entry, const CorpusCall& call);

// The reference: the routine run from the linked program at its link address.
CallOutcome referenceCall(const ElfImage& image, const std::string& name, const CorpusCall& call);

} // namespace travonix::execution
