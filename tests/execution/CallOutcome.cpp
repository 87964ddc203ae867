#include "execution/CallOutcome.h"

#include <iomanip>

namespace travonix::execution {

bool CallOutcome::matches(const CallOutcome& other) const {
    return status == RunStatus::Returned && other.status == RunStatus::Returned && v0 == other.v0 &&
           buffer == other.buffer;
}

std::ostream& operator<<(std::ostream& out, const CallOutcome& outcome) {
    out << outcome.status;
    if (outcome.status == RunStatus::Returned)
        out << " v0=" << static_cast<std::int32_t>(outcome.v0);
    if (!outcome.error.empty())
        out << " (" << outcome.error << ")";
    if (!outcome.buffer.empty()) {
        out << " buffer=";
        for (std::uint8_t byte : outcome.buffer)
            out << std::hex << std::setw(2) << std::setfill('0') << int{byte};
        out << std::dec;
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const CorpusCall& call) {
    out << "(" << call.args[0] << ", " << call.args[1] << ", " << call.args[2] << ", "
        << call.args[3] << ")";
    if (!call.buffer.empty())
        out << " with a " << call.buffer.size() << "-byte buffer in a0";
    return out;
}

CallOutcome runCall(MipsMachine& machine, std::uint32_t entry, const CorpusCall& call) {
    std::array<std::uint32_t, 4> args{};
    for (std::size_t i = 0; i < args.size(); ++i)
        args[i] = static_cast<std::uint32_t>(call.args[i]);
    if (!call.buffer.empty()) {
        machine.write(MipsMachine::kBufferAddress, call.buffer);
        args[0] = MipsMachine::kBufferAddress;
    }
    RunResult run = machine.call(entry, args);
    CallOutcome outcome{run.status, run.v0, {}, run.error};
    if (!call.buffer.empty())
        outcome.buffer = machine.read(MipsMachine::kBufferAddress, call.buffer.size());
    return outcome;
}

CallOutcome referenceCall(const ElfImage& image, const std::string& name, const CorpusCall& call) {
    MipsMachine machine;
    machine.loadElf(image);
    return runCall(machine, image.address(name), call);
}

} // namespace travonix::execution
