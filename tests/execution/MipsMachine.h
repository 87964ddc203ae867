#pragma once

#include "execution/ElfImage.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct uc_struct;

namespace travonix::execution {

enum class RunStatus {
    Returned,        // came back to the stop address
    Fault,           // the emulator stopped on an exception or an unmapped access
    BudgetExhausted, // still running when the instruction budget ran out
};

struct RunResult {
    RunStatus status = RunStatus::Fault;
    std::uint32_t v0 = 0;
    std::uint32_t pc = 0; // where the run stopped
    std::string error;    // the emulator's reason for a fault
};

std::ostream& operator<<(std::ostream& out, RunStatus status);

// An emulated PIC32 core (MIPS32r2, little-endian) with 1 MB of RAM, the
// stop page the calls return to, and whatever else is mapped on purpose.
// kseg0 and kseg1 addresses of the same physical memory are the same bytes,
// as on the chip: RAM is both A0000000 and 80000000, and nothing else is
// mapped unless a test loads it, so code that reaches for the link-time
// addresses of program flash (9D000000) faults.
class MipsMachine {
  public:
    static constexpr std::uint32_t kRamBase = 0xA0000000;
    static constexpr std::uint32_t kRamSize = 0x00100000;
    static constexpr std::uint32_t kStackTop = kRamBase + kRamSize - 0x100;
    // Scratch memory for arguments that point at data.
    static constexpr std::uint32_t kBufferAddress = 0xA0080000;
    // The boot-flash page: a call's return address, never executed.
    static constexpr std::uint32_t kStopAddress = 0xBFC00000;
    static constexpr std::uint64_t kDefaultBudget = 2'000'000;

    MipsMachine();
    ~MipsMachine();
    MipsMachine(const MipsMachine&) = delete;
    MipsMachine& operator=(const MipsMachine&) = delete;

    // Maps the pages covering [base, base + size) that are not mapped yet.
    void map(std::uint32_t base, std::uint32_t size);
    void write(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> read(std::uint32_t address, std::size_t size);
    // Stores the words little-endian, as the interpreter puts a block in memory.
    void loadWords(std::uint32_t address, const std::vector<std::uint32_t>& words);
    // Maps and fills every loadable segment at its link address.
    void loadElf(const ElfImage& image);

    // Calls the routine at `entry` with the o32 convention: a0-a3 hold the
    // arguments, sp the stack (with the 16-byte argument area the caller
    // owes), ra the stop address; the result is v0. At most `budget`
    // instructions run.
    RunResult call(std::uint32_t entry, const std::array<std::uint32_t, 4>& args,
                   std::uint64_t budget = kDefaultBudget);

  private:
    void check(int err, const std::string& what);
    bool isMapped(std::uint64_t page);

    uc_struct* uc_ = nullptr;
};

} // namespace travonix::execution
