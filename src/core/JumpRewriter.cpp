#include "core/JumpRewriter.h"
#include "core/Messages.h"

#include "core/FileNameCheck.h"
#include "core/InstructionWord.h"
#include "core/Text.h"

#include <array>

#include <cstdint>
#include <cstdlib>

namespace travonix {

namespace {

// Branch offsets count words from the delay slot, within a signed 16 bits
// less its most negative value.
constexpr std::int64_t kMaxBranchWords = 32767;

// Offset in words from the delay slot to the target, truncated toward zero;
// std::nullopt when the branch cannot reach it.
std::optional<std::int32_t> branchOffset(std::uint32_t address, std::uint32_t target) {
    const std::uint32_t delaySlot = address + 4U;
    const std::int64_t difference = static_cast<std::int64_t>(static_cast<std::int32_t>(target)) -
                                    static_cast<std::int64_t>(static_cast<std::int32_t>(delaySlot));
    if (difference < INT32_MIN || difference > INT32_MAX)
        return std::nullopt;
    const std::int64_t words = difference / 4;
    if (std::llabs(words) > kMaxBranchWords)
        return std::nullopt;
    return static_cast<std::int32_t>(words);
}

// The fields of a code line: address, word, mnemonic, operands (the rest).
struct CodeFields {
    std::string_view address, word, mnemonic, operands;
    std::size_t count = 0;
};

CodeFields codeFieldsOf(const std::vector<std::string_view>& split) {
    CodeFields f;
    f.count = split.size();
    f.address = split[0];
    f.word = f.count > 1 ? split[1] : std::string_view();
    f.mnemonic = f.count > 2 ? split[2] : std::string_view();
    f.operands = f.count > 3 ? split[3] : std::string_view();
    return f;
}

// Whether the line's text says what its word does: the mnemonic names the
// word's class and the operand names the word's target.
bool textAgrees(const CodeFields& f, WordClass word, std::uint32_t target) {
    return claimedJumpClass(f.mnemonic) == word && !f.operands.empty() &&
           hexValue(f.operands) == target;
}

std::optional<RewrittenJump> rewriteFields(const CodeFields& f) {
    if (f.count < 3)
        return std::nullopt; // a data line cut to address and word is no code
    const std::optional<std::uint32_t> word = wholeWord(f.word);
    if (!word)
        return std::nullopt;
    const WordClass kind = classOfWord(*word);
    if (kind != WordClass::Jump && kind != WordClass::Call)
        return std::nullopt;
    const std::uint32_t address = hexValue(f.address);
    RewrittenJump jump;
    jump.target = absoluteJumpTarget(address, *word);
    jump.textAgrees = textAgrees(f, kind, jump.target);
    const auto offset = branchOffset(address, jump.target);
    if (!offset)
        return jump;
    const bool call = kind == WordClass::Call;
    jump.reachable = true;
    jump.text.reserve(f.address.size() + f.operands.size() + 24);
    jump.text += f.address;
    jump.text += '\t';
    jump.text += call ? "0411" : "1000"; // BGEZAL $0 / BEQ $0,$0: always taken
    jump.text += hexUpperPadded(static_cast<std::uint16_t>(*offset), 4);
    jump.text += '\t';
    jump.text += call ? "bal" : "b";
    jump.text += '\t';
    if (jump.textAgrees)
        jump.text += f.operands;
    else
        jump.text += lowerHex8(jump.target);
    return jump;
}

bool isHexDigitIn(char c, char from, char to) {
    const char lower = c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
    return lower >= from && lower <= to;
}

// Whether the line may be a jump or claim to be one, from the word's first
// two digits (the opcode: j, jal, jalx), its last two (jr and jalr among
// opcode 0) and the mnemonic's first letter: most lines are neither, and
// are passed over without reading their word.
bool mayMoveFlow(std::string_view word, std::string_view mnemonic) {
    if (!mnemonic.empty() && (mnemonic.front() == 'j' || mnemonic.front() == 'J'))
        return true;
    if (word.size() < 8)
        return false;
    if (word[0] == '7')
        return isHexDigitIn(word[1], '4', '7'); // jalx
    if (word[0] != '0')
        return false;
    if (isHexDigitIn(word[1], '8', 'f'))
        return true; // j, jal
    // opcode 0: jr and jalr end in 08/09 (or 48/49, 88/89, c8/c9)
    return isHexDigitIn(word[1], '0', '3') && (word[7] == '8' || word[7] == '9') &&
           (word[6] == '0' || word[6] == '4' || word[6] == '8' || word[6] == 'c' || word[6] == 'C');
}

// A line whose mnemonic claims a jump its word is not, or whose word is a
// jump its text does not show: the word is what the chip runs.
std::optional<Diagnostic> contradictionOf(const CodeFields& f, std::uint32_t address) {
    const std::optional<std::uint32_t> word = wholeWord(f.word);
    if (!word || f.count < 3)
        return std::nullopt;
    const WordClass kind = classOfWord(*word);
    const std::optional<WordClass> claimed = claimedJumpClass(f.mnemonic);
    const bool moves = kind == WordClass::Jump || kind == WordClass::Call ||
                       kind == WordClass::ModeCall || kind == WordClass::RegisterJump ||
                       kind == WordClass::RegisterCall;
    bool agrees = claimed ? *claimed == kind : !moves;
    if (agrees &&
        (kind == WordClass::Jump || kind == WordClass::Call || kind == WordClass::ModeCall))
        agrees = !f.operands.empty() && hexValue(f.operands) == absoluteJumpTarget(address, *word);
    if (agrees)
        return std::nullopt;
    Diagnostic d = warning(DiagnosticCode::WordContradiction,
                           wordContradictionMessage(address, f.mnemonic, f.operands, *word));
    d.address = address;
    return d;
}

} // namespace

std::optional<RewrittenJump> rewriteJumpText(std::string_view line) {
    // A header is how generation finds its function again, even when its
    // symbol text happens to hold TABs in the shape of a jump.
    if (line.empty() || isHeaderText(trimBlanks(line)))
        return std::nullopt;
    return rewriteFields(codeFieldsOf(splitTabs(line, 4)));
}

JumpReport rewriteJumps(Listing& listing) {
    JumpReport report;
    std::array<std::string_view, 4> split{};
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const ListingLine& line = listing.line(i);
        if (line.kind == LineKind::Header || line.kind == LineKind::Data ||
            line.kind == LineKind::Filler || line.kind == LineKind::Empty || line.tabCount < 2)
            continue;
        const std::size_t count = listing.fields(line, split);
        const CodeFields f{split[0], split[1], split[2], count > 3 ? split[3] : std::string_view(),
                           count};
        // Most lines are neither a jump nor claim to be one: the word's
        // first two digits and the mnemonic's first letter tell.
        if (!mayMoveFlow(f.word, f.mnemonic))
            continue;
        const std::uint32_t address = listing.address(i);
        if (auto contradiction = contradictionOf(f, address))
            report.diagnostics.push_back(std::move(*contradiction));
        const auto jump = rewriteFields(f);
        if (!jump)
            continue;
        if (!jump->reachable) {
            report.unconverted.push_back({i, address, jump->target});
            continue;
        }
        listing.replaceText(i, jump->text);
        listing.markRewritten(i);
        ++report.rewritten;
    }
    if (!report.unconverted.empty())
        report.diagnostics.push_back(message(DiagnosticCode::JumpsUnconverted,
                                             unconvertedJumpsMessage(report.unconverted.size())));
    return report;
}

} // namespace travonix
