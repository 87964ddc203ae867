#include "core/relay/Relayer.h"

#include "core/InstructionWord.h"
#include "core/relay/AddressPairs.h"
#include "core/relay/MipsFields.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace travonix::relay {

namespace {

// The words a site becomes.
constexpr std::size_t kDataPairWords = 8; // replaces the lui
constexpr std::size_t kCodePairWords = 2; // replaces the lui
constexpr std::size_t kJumpWords = 10;    // inserted before the jr/jalr
// Where the `bal` of a sequence lands: the word its `ra` holds the address of.
constexpr std::size_t kLinkedWord = 4;
// Rounds of dropping pairs whose uses move apart before the block is left as it was.
constexpr int kSettleRounds = 8;

enum class SiteKind : std::uint8_t { None, DataPair, CodePair, Jump };

struct Site {
    SiteKind kind = SiteKind::None;
    const AddressPair* pair = nullptr; // for the pairs
    // A pair's lui in a delay slot: its sequence goes before the branch, and
    // the slot holds a nop.
    bool hoisted = false;
};

bool isPair(const Site& site) {
    return site.kind == SiteKind::DataPair || site.kind == SiteKind::CodePair;
}

std::size_t pairWords(const Site& site) {
    return site.kind == SiteKind::DataPair ? kDataPairWords : kCodePairWords;
}

struct Layout {
    std::vector<std::size_t> start; // per old word (and one past the end): its group's first word
    std::vector<std::size_t> at;    // per old word: where the word itself (or its sequence) is
    std::vector<std::size_t> after; // per old word: the first word after it
};

Layout layOut(const std::vector<Site>& sites) {
    Layout layout;
    layout.start.resize(sites.size() + 1);
    layout.at.resize(sites.size());
    layout.after.resize(sites.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        layout.start[i] = next;
        if (sites[i].kind == SiteKind::Jump)
            next += kJumpWords;
        if (i + 1 < sites.size() && sites[i + 1].hoisted)
            next += pairWords(sites[i + 1]);
        layout.at[i] = next;
        next += isPair(sites[i]) && !sites[i].hoisted ? pairWords(sites[i]) : 1;
        layout.after[i] = next;
    }
    layout.start[sites.size()] = next;
    return layout;
}

// A branch or jump whose delay slot may run before it instead: not a likely
// branch (its slot runs only when taken), and not one that reads `reg`.
bool slotMayGoBefore(std::uint32_t branch, std::uint32_t reg) {
    const std::uint32_t op = opcodeOf(branch);
    bool plain = (op >= 0x02 && op <= 0x07);
    if (op == 0x01)
        plain = rtOf(branch) == 0 || rtOf(branch) == 1 || rtOf(branch) == 16 || rtOf(branch) == 17;
    if (op == 0x00)
        plain = (branch & 0x3F) == 0x08 || (branch & 0x3F) == 0x09;
    return plain && rsOf(branch) != reg && rtOf(branch) != reg;
}

class Relayer {
  public:
    explicit Relayer(BlockImage image) : image_(std::move(image)), sites_(image_.words.size()) {}

    RelayOutcome run() {
        if (image_.words.empty() || image_.routines.empty() || image_.routines.front().first != 0)
            return refuse("the block is empty or does not start with a routine");
        if (!image_.index())
            return refuse("two of its routines claim the same link addresses");
        pairs_ = findAddressPairs(image_);
        findBranchTargets();
        choosePairs();
        chooseJumps();
        const std::optional<Layout> layout = settle();
        if (!layout)
            return refuse("its address pairs reach places that keep moving as instructions are "
                          "added");
        return emit(*layout);
    }

  private:
    RelayOutcome refuse(std::string why) {
        RelayOutcome out;
        out.refusal = std::move(why);
        return out;
    }

    void leave(std::size_t index, std::string reason) {
        left_.push_back({address(index), std::move(reason)});
    }
    [[nodiscard]] std::uint32_t address(std::size_t index) const { return image_.addressOf(index); }
    // Inside the block, its end included (the end of a table is an address a
    // loop compares with).
    [[nodiscard]] bool reaches(std::uint32_t target) const {
        return image_.locate(target) || image_.endingAt(target);
    }
    [[nodiscard]] bool isCodeAddress(std::uint32_t target) const {
        const std::optional<std::size_t> at = image_.locate(target);
        return at && image_.isCode(*at);
    }
    // Where a block address lies under a layout.
    [[nodiscard]] std::uint32_t moved(const Layout& layout, std::uint32_t target) const {
        const std::uint32_t base = image_.base();
        if (const std::optional<std::size_t> at = image_.locate(target))
            return base + 4 * static_cast<std::uint32_t>(layout.start[*at]) +
                   (target - image_.addressOf(*at));
        if (const std::optional<std::size_t> last = image_.endingAt(target))
            return base + 4 * static_cast<std::uint32_t>(layout.after[*last]);
        return target;
    }

    // Whether a branch of the block lands on the word at `index`.
    [[nodiscard]] bool isBranchTarget(std::size_t index) const { return targeted_[index]; }

    void findBranchTargets() {
        targeted_.assign(image_.words.size(), false);
        for (std::size_t i = 0; i < image_.words.size(); ++i) {
            const WordClass c = classOfWord(image_.words[i]);
            if (!image_.isCode(i) || (c != WordClass::Branch && c != WordClass::BranchAndLink))
                continue;
            if (const std::optional<std::size_t> at =
                    image_.locate(branchTarget(address(i), image_.words[i])))
                targeted_[*at] = true;
        }
    }

    void choosePairs() {
        for (const AddressPair& pair : pairs_) {
            const std::size_t inside = static_cast<std::size_t>(
                std::count_if(pair.uses.begin(), pair.uses.end(),
                              [&](const LowUse& u) { return reaches(u.target); }));
            if (inside == 0)
                continue; // not an address of the block: the check judges it as before
            if (inside != pair.uses.size()) {
                leave(pair.lui, "its register serves addresses both inside and outside the block");
                continue;
            }
            const bool hoisted = pair.inDelaySlot;
            if (hoisted && (pair.lui == 0 || !image_.isCode(pair.lui - 1) ||
                            !slotMayGoBefore(image_.words[pair.lui - 1], pair.reg) ||
                            isBranchTarget(pair.lui))) {
                leave(pair.lui, "it sits in the delay slot of a branch that reads its register, "
                                "runs the slot only when taken, or is itself branched to");
                continue;
            }
            if (pair.reg == kSp || pair.reg == kRa) {
                leave(pair.lui, "it loads $sp or $ra, which the added instructions need");
                continue;
            }
            const bool code = isCodeAddress(pair.uses.front().target);
            bool same = true;
            for (const LowUse& u : pair.uses)
                same = same && isCodeAddress(u.target) == code && (!code || u.target % 4 == 0);
            if (!same) {
                leave(pair.lui, "its register serves addresses of both code and data");
                continue;
            }
            sites_[pair.lui] = {code ? SiteKind::CodePair : SiteKind::DataPair, &pair, hoisted};
        }
    }

    void chooseJumps() {
        for (std::size_t i = 0; i < image_.words.size(); ++i) {
            if (!image_.isCode(i))
                continue;
            const std::uint32_t word = image_.words[i];
            const WordClass c = classOfWord(word);
            if (c != WordClass::RegisterJump && c != WordClass::RegisterCall)
                continue;
            const std::uint32_t target = rsOf(word);
            if (c == WordClass::RegisterJump && target == kRa)
                continue; // a return
            if (target == kSp || target == kRa || target == kZero) {
                leave(i, "it jumps through $sp, $ra or $zero, which the added instructions "
                         "cannot move");
                continue;
            }
            if (i > 0 && image_.isCode(i - 1) &&
                classOfWord(image_.words[i - 1]) != WordClass::Other) {
                leave(i, "it sits in the delay slot of a branch or jump");
                continue;
            }
            if (target == kAt || (i + 1 < image_.words.size() && touchesAt(image_.words[i + 1]))) {
                leave(i, "it or its delay slot uses $at, where the moved address is made");
                continue;
            }
            if (sites_[i].kind != SiteKind::None)
                continue;
            sites_[i] = {SiteKind::Jump, nullptr, false};
        }
    }

    // A pair is made to move only when all its uses move by the same
    // distance, which the uses do not say themselves: the lui's value is what
    // changes. Dropping a pair changes the layout, so this runs until no pair
    // is dropped, a few rounds at most: a block whose layout does not settle
    // by then is left as it was.
    std::optional<Layout> settle() {
        for (int round = 0; round < kSettleRounds; ++round) {
            Layout layout = layOut(sites_);
            bool dropped = false;
            for (std::size_t i = 0; i < sites_.size(); ++i) {
                const Site& site = sites_[i];
                if (!isPair(site))
                    continue;
                const std::uint32_t shift = shiftOf(layout, *site.pair);
                for (const LowUse& u : site.pair->uses) {
                    if (moved(layout, u.target) - u.target != shift) {
                        leave(i, "its uses reach places that the added instructions move by "
                                 "different distances");
                        sites_[i] = {};
                        dropped = true;
                        break;
                    }
                }
            }
            if (!dropped)
                return layout;
        }
        return std::nullopt;
    }

    [[nodiscard]] std::uint32_t shiftOf(const Layout& layout, const AddressPair& pair) const {
        return moved(layout, pair.uses.front().target) - pair.uses.front().target;
    }

    RelayOutcome emit(const Layout& layout) {
        RelayOutcome out;
        out.words.reserve(layout.start.back());
        for (std::size_t i = 0; i < image_.words.size(); ++i) {
            const std::uint32_t word = image_.words[i];
            const Site& site = sites_[i];
            if (site.kind == SiteKind::Jump) {
                emitDisplacement(out.words, rsOf(word));
                fixed_.push_back(address(i));
            }
            if (i + 1 < sites_.size() && sites_[i + 1].hoisted)
                emitPair(layout, sites_[i + 1], out.words);
            if (isPair(site)) {
                if (site.hoisted)
                    out.words.push_back(kNop);
                else
                    emitPair(layout, site, out.words);
                markFixed(*site.pair);
                continue;
            }
            if (!image_.isCode(i)) {
                out.words.push_back(relaidDataWord(layout, i));
                continue;
            }
            if (site.kind == SiteKind::Jump) {
                out.words.push_back(withSource(word, kAt));
                continue;
            }
            const WordClass c = classOfWord(word);
            if (c == WordClass::Branch || c == WordClass::BranchAndLink) {
                const std::uint32_t target = branchTarget(address(i), word);
                const std::uint32_t to = image_.locate(target) ? moved(layout, target) : target;
                const std::int64_t offset =
                    (static_cast<std::int64_t>(static_cast<std::int32_t>(to - image_.base())) -
                     4 * static_cast<std::int64_t>(layout.at[i] + 1)) /
                    4;
                if (offset < std::numeric_limits<std::int16_t>::min() ||
                    offset > std::numeric_limits<std::int16_t>::max())
                    return refuse("a branch at " + hex(address(i)) +
                                  " would no longer reach its target once instructions are added");
                out.words.push_back(withBranchOffset(word, static_cast<std::int32_t>(offset)));
                continue;
            }
            out.words.push_back(word);
        }
        for (const BlockImage::Routine& routine : image_.routines)
            out.routineStarts.push_back(layout.start[routine.first]);
        out.entry = layout.start[std::min(image_.entry, image_.words.size())];
        // A use shared with a pair that was left keeps its finding.
        std::vector<std::uint32_t> kept;
        for (const LeftAsIs& l : left_)
            kept.push_back(l.address);
        for (const AddressPair& pair : pairs_)
            if (sites_[pair.lui].kind == SiteKind::None)
                for (const LowUse& u : pair.uses)
                    kept.push_back(address(u.index));
        std::sort(kept.begin(), kept.end());
        out.fixed = std::move(fixed_);
        std::sort(out.fixed.begin(), out.fixed.end());
        out.fixed.erase(std::unique(out.fixed.begin(), out.fixed.end()), out.fixed.end());
        std::erase_if(out.fixed, [&kept](std::uint32_t a) {
            return std::binary_search(kept.begin(), kept.end(), a);
        });
        out.left = std::move(left_);
        out.relaid = true;
        return out;
    }

    // A word of read-only data that holds an address in the block follows the
    // layout. An address of code is then right wherever the block runs (it is
    // moved where it is jumped to); an address of data is loaded as it is,
    // and nothing moves it at run time.
    // The words that give a pair's register its value: a data address in run
    // form, a code address in link form under the new layout.
    void emitPair(const Layout& layout, const Site& site, std::vector<std::uint32_t>& words) {
        const std::uint32_t reg = site.pair->reg;
        const std::uint32_t linked =
            image_.base() + 4 * static_cast<std::uint32_t>(words.size() + kLinkedWord);
        if (site.kind == SiteKind::CodePair) {
            const std::uint32_t value = site.pair->upper + shiftOf(layout, *site.pair);
            words.insert(words.end(), {lui(reg, value >> 16), ori(reg, reg, value & 0xFFFF)});
            return;
        }
        const std::uint32_t distance = site.pair->upper + shiftOf(layout, *site.pair) - linked;
        words.insert(words.end(), {addiu(kSp, kSp, -8), sw(kRa, 4, kSp), bal(1),
                                   lui(reg, distance >> 16), ori(reg, reg, distance & 0xFFFF),
                                   addu(reg, reg, kRa), lw(kRa, 4, kSp), addiu(kSp, kSp, 8)});
    }

    // The words that put `reg` plus the block's displacement in $at before a
    // jump through it (the jump then goes through $at): `reg` keeps its link
    // form, so a routine that calls through it twice moves it once each time.
    void emitDisplacement(std::vector<std::uint32_t>& words, std::uint32_t reg) const {
        const std::uint32_t minusLinked =
            0u - (image_.base() + 4 * static_cast<std::uint32_t>(words.size() + kLinkedWord));
        words.insert(words.end(),
                     {addiu(kSp, kSp, -8), sw(kRa, 4, kSp), bal(1), kNop, addu(kAt, reg, kRa),
                      lui(kRa, minusLinked >> 16), ori(kRa, kRa, minusLinked & 0xFFFF),
                      addu(kAt, kAt, kRa), lw(kRa, 4, kSp), addiu(kSp, kSp, 8)});
    }

    std::uint32_t relaidDataWord(const Layout& layout, std::size_t i) {
        const std::uint32_t word = image_.words[i];
        if (!reaches(word))
            return word;
        if (isCodeAddress(word) && word % 4 == 0) {
            fixed_.push_back(address(i));
        } else {
            leave(i, "it holds the address of data in the block, which is loaded as it is and "
                     "cannot follow the block");
        }
        return moved(layout, word);
    }

    void markFixed(const AddressPair& pair) {
        fixed_.push_back(address(pair.lui));
        for (const LowUse& u : pair.uses)
            fixed_.push_back(address(u.index));
    }

    static std::string hex(std::uint32_t value) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string text(8, '0');
        for (int k = 7; k >= 0; --k, value >>= 4)
            text[static_cast<std::size_t>(k)] = kDigits[value & 0xF];
        return text;
    }

    BlockImage image_;
    std::vector<Site> sites_;
    std::vector<AddressPair> pairs_;
    std::vector<std::uint32_t> fixed_;
    std::vector<LeftAsIs> left_;
    std::vector<bool> targeted_;
};

} // namespace

RelayOutcome relayBlock(const BlockImage& image) {
    return Relayer(image).run();
}

} // namespace travonix::relay
