#include "cli/CliRun.h"

#include "check/ConversionCheck.h"
#include "core/Paths.h"
#include "core/SizeReport.h"
#include "core/Text.h"
#include "core/Version.h"
#include "pipeline/Pipeline.h"
#include "platform/Disassembler.h"
#include "platform/DisassemblyCommand.h"
#include "platform/ProgramSearch.h"

#include <set>

namespace travonix::cli {

namespace {

// What the tool tells on stderr, and whether anything failed.
class Reporter {
  public:
    explicit Reporter(std::ostream& err) : err_(err) {}

    void show(const Diagnostics& diagnostics) {
        for (const Diagnostic& d : diagnostics)
            show(d);
    }
    void show(const Diagnostic& d) {
        switch (d.kind) {
        case Diagnostic::Kind::Message:
            err_ << terminalText(d.text) << '\n';
            break;
        case Diagnostic::Kind::Warning:
            err_ << "travonix-cli: warning: " << terminalText(d.text) << '\n';
            break;
        case Diagnostic::Kind::Error:
            failed_ = true;
            err_ << "travonix-cli: " << terminalText(d.text) << '\n';
            break;
        }
    }
    void fail(DiagnosticCode code, const std::string& text) { show(error(code, text)); }
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] std::ostream& stream() { return err_; }

  private:
    std::ostream& err_;
    bool failed_ = false;
};

// The folder part of a path as the user wrote it: "." for a bare file name.
std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos)
        return ".";
    if (cut == 0)
        return path.substr(0, 1);
    return path.substr(0, cut);
}

bool checkReadable(Environment& env, const std::string& path, Reporter& reporter) {
    if (!env.fileExists(path)) {
        reporter.fail(DiagnosticCode::InputMissing, "cannot read '" + path + "': no such file");
        return false;
    }
    return true;
}

Options optionsFor(const CliRequest& r) {
    Options options = defaultOptions();
    ConversionSettings& c = options.conversion;
    c.includeMain = r.includeMain;
    c.selectAll = true;
    c.fullReading = r.allFuncs;
    c.mode = r.mode;
    c.mergedName = r.name ? std::string(trimBlanks(*r.name)) : std::string();
    c.keepListingCopy = r.saveDisasm;
    c.positionIndependent = r.positionIndependent;
    return options;
}

// Without --objdump: the default command when its program is on the search
// path, else the first disassembler found of the known ones, with the
// default's options; said on stderr. False, with the reason on stderr, when
// none is found.
bool chooseDisassembler(Options& options, Reporter& reporter) {
    const std::vector<std::string> words = splitCommandWords(options.disassemblerCommand);
    if (words.empty() || findProgramOnPath(words.front()))
        return true;
    const std::vector<std::string>& candidates = disassemblerCandidates();
    const std::optional<std::string> found = firstProgramOnPath(candidates);
    if (!found) {
        std::string tried = words.front();
        for (const std::string& name : candidates)
            tried += (&name == &candidates.back() ? " nor " : ", ") + name;
        reporter.fail(DiagnosticCode::NoDisassembler,
                      "no disassembler found on the search path: neither " + tried +
                          "; install one, or name it with --objdump \"CMD\"");
        return false;
    }
    std::string command = *found;
    for (std::size_t i = 1; i < words.size(); ++i)
        command += " " + words[i];
    options.disassemblerCommand = command;
    reporter.stream() << "travonix-cli: " << words.front() << " is not on the search path; using "
                      << command << '\n';
    return true;
}

// Runs the disassembler on an ELF input, reading the listing while it is
// written. Nothing when there is no fresh listing; the reason is on stderr.
std::optional<ReadResult> disassembleInput(Options& options, const CliRequest& r, Environment& env,
                                           ProcessRunner& runner, Reporter& reporter,
                                           ProgressLine* progress) {
    options.elfPath = r.input;
    options.listingPath = r.disPath ? *r.disPath : listingPathFor(r.input);
    if (r.objdump)
        options.disassemblerCommand = withZeroWords(*r.objdump);
    else if (!chooseDisassembler(options, reporter))
        return std::nullopt;
    DisassembledListing done =
        disassembleAndRead(options, runner, env, [progress](const ListingProgress& figures) {
            if (progress && progress->due())
                progress->show(listingProgressText(figures));
        });
    if (progress)
        progress->clear();
    reporter.show(done.outcome.diagnostics);
    if (!done.outcome.readListing || !done.outcome.diagnostics.empty())
        return std::nullopt;
    return std::move(done.read);
}

std::optional<LoadedListing> readInput(Options& options, const CliRequest& r, Environment& env,
                                       ProcessRunner& runner, Reporter& reporter,
                                       ProgressLine* progress) {
    if (!checkReadable(env, r.input, reporter))
        return std::nullopt;
    std::optional<ReadResult> read;
    if (r.inputIsElf) {
        read = disassembleInput(options, r, env, runner, reporter, progress);
        if (!read)
            return std::nullopt;
    } else {
        options.listingPath = r.input;
        std::optional<ListingText> text = env.readListingText(options.listingPath);
        if (!text) {
            reporter.fail(DiagnosticCode::ListingNotReadable,
                          "cannot read '" + options.listingPath + "'");
            return std::nullopt;
        }
        read = readListing(std::move(*text), readOptionsOf(options.conversion));
    }
    LoadedListing loaded = loadListing(std::move(*read));
    reporter.show(loaded.diagnostics);
    if (hasError(loaded.diagnostics))
        return std::nullopt;
    return loaded;
}

void printListing(const Listing& listing, std::ostream& out) {
    for (std::size_t i = 0; i < listing.size(); ++i)
        out << terminalText(listing.text(i)) << '\n';
}

void printFunctions(const std::vector<FunctionEntry>& functions, std::ostream& out) {
    for (const FunctionEntry& f : functions)
        out << (f.readOnlyData ? 1 : 0) << '\t' << terminalText(f.name) << '\n';
}

bool selectFunctions(std::vector<FunctionEntry>& functions, const CliRequest& r,
                     Reporter& reporter) {
    if (r.functions.empty())
        return true;
    const std::set<std::string> wanted(r.functions.begin(), r.functions.end());
    for (const std::string& name : r.functions) {
        bool listed = false;
        for (const FunctionEntry& f : functions)
            listed = listed || f.name == name;
        if (listed)
            continue;
        if (name == "main" && !r.includeMain && !r.allFuncs)
            reporter.fail(DiagnosticCode::MainLeftOut,
                          "function 'main' is left out unless --main is given");
        else
            reporter.fail(DiagnosticCode::FunctionNotListed,
                          "function '" + name + "' is not in the function list");
        return false;
    }
    for (FunctionEntry& f : functions)
        f.selected = wanted.count(f.name) != 0;
    return true;
}

// --check: the findings on stdout, nothing written.
int checkOnly(const std::vector<check::Finding>& findings, std::ostream& out) {
    for (const check::Finding& finding : findings)
        out << terminalText(check::findingLine(finding)) << '\n';
    return findings.empty() ? kExitOk : kExitFindings;
}

// The files a run wrote, its size report and its completion message on
// stdout, after the messages of the writes on stderr.
int reportWritten(const ConversionResult& result, const WriteReport& copy, std::ostream& out,
                  Reporter& reporter) {
    reporter.show(result.written.diagnostics);
    reporter.show(copy.diagnostics);
    std::vector<std::string> paths = result.written.writtenPaths;
    paths.insert(paths.end(), copy.writtenPaths.begin(), copy.writtenPaths.end());
    for (const std::string& path : paths)
        out << path << '\n';
    out << sizeReportText(result.wordCount) << '\n';
    if (!result.completion.empty())
        out << terminalText(result.completion) << '\n';
    return reporter.failed() ? kExitFailure : kExitOk;
}

int convert(const LoadedListing& loaded, const std::vector<FunctionEntry>& functions,
            const Options& options, const CliRequest& r, Environment& env, std::ostream& out,
            Reporter& reporter, ProgressLine* progress) {
    const ConversionSettings& settings = options.conversion;
    const ConversionPlan plan = planRun(loaded, functions, settings);
    reporter.show(plan.diagnostics);
    if (plan.status == ConversionPlan::Status::NoSelection)
        reporter.fail(DiagnosticCode::NoSelection, kNoSelectionText);
    if (plan.status != ConversionPlan::Status::Ready)
        return kExitFailure;

    ConversionRequest request{
        settings, Stamp{env.now(), env.userName()}, env.pathSeparator(), r.check, r.strict,
        nullptr};
    request.showSource = false;        // nothing here shows it
    request.keepClipboardText = false; // nor has a clipboard
    if (progress)
        request.onFileWritten = [progress](std::size_t done, std::size_t total) {
            if (progress->due())
                progress->show(writingProgressText(done, total));
        };
    const ConversionResult result = travonix::convert(
        loaded, plan, request,
        [&](const JalrLine&) {
            reporter.stream() << terminalText(kJalrQuestion)
                              << (r.yes ? " Yes (--yes)" : " No (use --yes to go on)") << '\n';
            return r.yes;
        },
        env);
    if (progress)
        progress->clear();
    switch (result.outcome) {
    case ConversionResult::Outcome::CheckedOnly:
        return checkOnly(result.findings, out);
    case ConversionResult::Outcome::Abandoned:
        return kExitAbandoned;
    case ConversionResult::Outcome::Refused:
    case ConversionResult::Outcome::Written:
    case ConversionResult::Outcome::Cancelled: // the command line has no Cancel
        break;
    }
    if (result.relay)
        reporter.stream() << "travonix-cli: " << terminalText(relayReportText(*result.relay))
                          << '\n';
    // After the messages the run has always given, so those keep their order.
    // stderr writes each piece at once: a program's tens of thousands of
    // findings go in pieces of 64 KiB, not three system calls a line.
    std::string lines;
    for (const check::Finding& finding : result.findings) {
        lines += "travonix-cli: warning: ";
        lines += terminalText(check::findingLine(finding));
        lines += '\n';
        if (lines.size() >= (std::size_t{1} << 16)) {
            reporter.stream() << lines;
            lines.clear();
        }
    }
    reporter.stream() << lines;
    if (result.outcome == ConversionResult::Outcome::Refused)
        return kExitFindings;
    return reportWritten(result, writeListingCopy(result, request, env), out, reporter);
}

} // namespace

std::string terminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](unsigned char c) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        out += "\\x";
        out += kDigits[c >> 4];
        out += kDigits[c & 0xF];
    };
    // Tens of thousands of findings are nearly all printable: their runs are
    // copied whole, and only the characters that need a look are looked at.
    const auto needsLook = [](unsigned char c) { return c < 0x20 || c == 0x7F || c == 0xC2; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t run = i;
        while (run < text.size() && !needsLook(static_cast<unsigned char>(text[run])))
            ++run;
        out.append(text.substr(i, run - i));
        if (run == text.size())
            break;
        i = run;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            escape(c); // a C1 control in UTF-8 (U+009B opens a sequence too)
            escape(static_cast<unsigned char>(text[++i]));
        } else if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
            escape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int runCli(const CliRequest& r, Environment& env, ProcessRunner& runner, std::ostream& out,
           std::ostream& err, ProgressLine* progress) {
    Reporter reporter(err);
    Options options = optionsFor(r);
    std::optional<LoadedListing> read = readInput(options, r, env, runner, reporter, progress);
    if (!read)
        return kExitFailure;
    if (r.list || r.printListing) {
        if (r.printListing)
            printListing(read->listing, out);
        if (r.list)
            printFunctions(read->functions, out);
        return kExitOk;
    }
    if (!selectFunctions(read->functions, r, reporter))
        return kExitFailure;
    options.conversion.outputFolder = r.outputDir ? *r.outputDir : folderOf(options.listingPath);
    return convert(*read, read->functions, options, r, env, out, reporter, progress);
}

} // namespace travonix::cli
