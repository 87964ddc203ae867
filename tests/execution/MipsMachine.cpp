#include "execution/MipsMachine.h"

#include <unicorn/unicorn.h>

#include <stdexcept>

namespace travonix::execution {
namespace {

constexpr std::uint32_t kPage = 0x1000;

void writeReg(uc_engine* uc, int reg, std::uint32_t value) {
    uc_reg_write(uc, reg, &value);
}

std::uint32_t readReg(uc_engine* uc, int reg) {
    std::uint32_t value = 0;
    uc_reg_read(uc, reg, &value);
    return value;
}

} // namespace

std::ostream& operator<<(std::ostream& out, RunStatus status) {
    switch (status) {
    case RunStatus::Returned:
        return out << "returned";
    case RunStatus::Fault:
        return out << "fault";
    case RunStatus::BudgetExhausted:
        return out << "budget exhausted";
    }
    return out << "?";
}

MipsMachine::MipsMachine() {
    check(uc_open(UC_ARCH_MIPS, static_cast<uc_mode>(UC_MODE_MIPS32 | UC_MODE_LITTLE_ENDIAN), &uc_),
          "open the emulator");
    map(kRamBase, kRamSize);
    map(kStopAddress, kPage);
}

MipsMachine::~MipsMachine() {
    if (uc_ != nullptr)
        uc_close(uc_);
}

void MipsMachine::check(int err, const std::string& what) {
    if (err != UC_ERR_OK)
        throw std::runtime_error("emulator cannot " + what + ": " +
                                 uc_strerror(static_cast<uc_err>(err)));
}

bool MipsMachine::isMapped(std::uint64_t page) {
    std::uint8_t probe = 0;
    return uc_mem_read(uc_, page, &probe, 1) == UC_ERR_OK;
}

void MipsMachine::map(std::uint32_t base, std::uint32_t size) {
    const std::uint64_t end = (std::uint64_t{base} + size + kPage - 1) & ~std::uint64_t{kPage - 1};
    std::uint64_t page = base & ~(kPage - 1);
    while (page < end) {
        // Pages already there, directly or through their kseg0/kseg1 twin, stay.
        if (isMapped(page)) {
            page += kPage;
            continue;
        }
        std::uint64_t runEnd = page + kPage;
        while (runEnd < end && !isMapped(runEnd))
            runEnd += kPage;
        check(uc_mem_map(uc_, page, runEnd - page, UC_PROT_ALL), "map memory");
        page = runEnd;
    }
}

void MipsMachine::write(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    check(uc_mem_write(uc_, address, bytes.data(), bytes.size()), "write memory");
}

std::vector<std::uint8_t> MipsMachine::read(std::uint32_t address, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    check(uc_mem_read(uc_, address, bytes.data(), size), "read memory");
    return bytes;
}

void MipsMachine::loadWords(std::uint32_t address, const std::vector<std::uint32_t>& words) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(words.size() * 4);
    for (std::uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    write(address, bytes);
}

void MipsMachine::loadElf(const ElfImage& image) {
    for (const ElfSegment& segment : image.segments()) {
        map(segment.vaddr, segment.memSize);
        std::vector<std::uint8_t> bytes = segment.bytes;
        bytes.resize(segment.memSize, 0);
        write(segment.vaddr, bytes);
    }
}

RunResult MipsMachine::call(std::uint32_t entry, const std::array<std::uint32_t, 4>& args,
                            std::uint64_t budget) {
    for (int reg = UC_MIPS_REG_0; reg <= UC_MIPS_REG_31; ++reg)
        writeReg(uc_, reg, 0);
    writeReg(uc_, UC_MIPS_REG_HI, 0);
    writeReg(uc_, UC_MIPS_REG_LO, 0);
    const int argRegs[4] = {UC_MIPS_REG_A0, UC_MIPS_REG_A1, UC_MIPS_REG_A2, UC_MIPS_REG_A3};
    for (int i = 0; i < 4; ++i)
        writeReg(uc_, argRegs[i], args[static_cast<std::size_t>(i)]);
    writeReg(uc_, UC_MIPS_REG_SP, kStackTop - 16);
    writeReg(uc_, UC_MIPS_REG_RA, kStopAddress);

    uc_err err = uc_emu_start(uc_, entry, kStopAddress, 0, budget);
    RunResult result;
    result.pc = readReg(uc_, UC_MIPS_REG_PC);
    result.v0 = readReg(uc_, UC_MIPS_REG_V0);
    if (err != UC_ERR_OK) {
        result.status = RunStatus::Fault;
        result.error = uc_strerror(err);
    } else if (result.pc == kStopAddress) {
        result.status = RunStatus::Returned;
    } else {
        result.status = RunStatus::BudgetExhausted;
    }
    return result;
}

} // namespace travonix::execution
