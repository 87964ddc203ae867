#include "core/relay/AddressPairs.h"

#include "core/InstructionWord.h"
#include "core/relay/MipsFields.h"

#include <array>
#include <optional>

namespace travonix::relay {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::uint32_t kFunctAddu = 0x21;

bool movesControl(std::uint32_t word) {
    return classOfWord(word) != WordClass::Other;
}

// j, jr, and b (beq $zero, $zero): nothing after their delay slot follows them.
bool isUnconditional(std::uint32_t word) {
    const WordClass c = classOfWord(word);
    if (c == WordClass::Jump || c == WordClass::RegisterJump)
        return true;
    return opcodeOf(word) == 0x04 && rsOf(word) == 0 && rtOf(word) == 0;
}

class PairFinder {
  public:
    explicit PairFinder(const BlockImage& image) : image_(image) {}

    std::vector<AddressPair> run() {
        for (std::size_t r = 0; r < image_.routines.size(); ++r) {
            if (!image_.routines[r].code)
                continue;
            const std::size_t first = image_.routines[r].first;
            const std::size_t end = image_.routineEnd(first);
            forgetAll();
            for (std::size_t i = first; i < end && i < image_.words.size(); ++i)
                step(i, i > first ? image_.words[i - 1] : kNop);
        }
        return std::move(pairs_);
    }

  private:
    void forgetAll() { holder_.fill(kNone); }

    void use(std::size_t i, std::uint32_t base, std::uint32_t low) {
        if (base == kZero || holder_[base] == kNone)
            return;
        AddressPair& pair = pairs_[holder_[base]];
        pair.uses.push_back({i, pair.upper + low});
    }

    void step(std::size_t i, std::uint32_t previous) {
        const std::uint32_t word = image_.words[i];
        const bool inDelaySlot = movesControl(previous);
        const std::uint32_t op = opcodeOf(word);
        if (op == kOpAddiu)
            use(i, rsOf(word), static_cast<std::uint32_t>(signedImmediateOf(word)));
        else if (op == kOpOri)
            use(i, rsOf(word), immediateOf(word));
        else if (memoryAccessOf(word) != MemoryAccess::None)
            use(i, rsOf(word), static_cast<std::uint32_t>(signedImmediateOf(word)));

        // addu of a lui's register and an index (gcc's and the assembler's
        // way to an element, `lui at,%hi(t); addu at,at,v0; lw v0,%lo(t)(at)`)
        // carries the lui to its result.
        std::size_t carried = kNone;
        if (op == 0 && (word & 0x3F) == kFunctAddu) {
            const std::size_t fromRs = rsOf(word) == kZero ? kNone : holder_[rsOf(word)];
            const std::size_t fromRt = rtOf(word) == kZero ? kNone : holder_[rtOf(word)];
            if ((fromRs == kNone) != (fromRt == kNone))
                carried = fromRs == kNone ? fromRt : fromRs;
        }
        const Written written = registerWrittenBy(word);
        if (written.unknown)
            forgetAll();
        else if (written.reg && *written.reg != kZero)
            holder_[*written.reg] = carried;

        if (isLui(word) && rtOf(word) != kZero) {
            holder_[rtOf(word)] = pairs_.size();
            pairs_.push_back({i, rtOf(word), immediateOf(word) << 16, inDelaySlot, {}});
        }
        if (inDelaySlot && isUnconditional(previous))
            forgetAll();
    }

    const BlockImage& image_;
    std::array<std::size_t, 32> holder_{};
    std::vector<AddressPair> pairs_;
};

} // namespace

std::vector<AddressPair> findAddressPairs(const BlockImage& image) {
    return PairFinder(image).run();
}

} // namespace travonix::relay
