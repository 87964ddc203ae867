#include "platform/Disassembler.h"

#include "core/ListingFeed.h"
#include "core/ListingSizeGuess.h"
#include "platform/DisassemblyCommand.h"

#include <filesystem>

namespace travonix {

namespace {

constexpr const char* kNoElfMessage = "No .ELF file specified, use .ELF button to pick a .ELF file";
constexpr const char* kElfMissingMessage = " does not exist, use .ELF button to pick a .ELF file";
constexpr const char* kNoDisMessage = "No .DIS file specified, use .ELF button to pick a .ELF file";
constexpr const char* kDisIsElfMessage =
    " is both the .ELF file and the .DIS file: disassembling would overwrite the .ELF file, "
    "use .ELF button to pick a .ELF file whose name holds .elf";

// The listing's redirection would empty the ELF file before objdump reads it.
bool listingWouldReplaceElf(const Options& options) {
    if (options.listingPath == options.elfPath)
        return true;
    std::error_code ec;
    return std::filesystem::equivalent(options.listingPath, options.elfPath, ec) && !ec;
}

std::string programName(const Options& options) {
    const auto words = splitCommandWords(options.disassemblerCommand);
    return words.empty() ? std::string("(no disassembler command)") : words.front();
}

Diagnostic exitReport(const std::string& program, const ProcessResult& result) {
    if (result.status == ProcessResult::Status::Cancelled)
        return error(DiagnosticCode::DisassemblerCancelled,
                     "Disassembler " + program + " was cancelled; the listing is unchanged");
    std::string line =
        "Disassembler " + program + " ended with exit code " + std::to_string(result.exitCode);
    if (result.status == ProcessResult::Status::TimedOut)
        line += " (still running when the wait ended)";
    if (!result.errorLine.empty())
        line += ": " + result.errorLine;
    return error(DiagnosticCode::DisassemblerFailed, std::move(line));
}

// A diagnostic about the file at `path`.
Diagnostic aboutFile(Diagnostic diagnostic, const std::string& path) {
    diagnostic.file = path;
    return diagnostic;
}

} // namespace

std::optional<std::uint64_t> expectedListingBytes(Environment& environment,
                                                  const std::string& elfPath) {
    return guessListingBytes([&](std::uint64_t offset, std::size_t length) {
        return environment.readFilePart(elfPath, offset, length);
    });
}

DisassemblyOutcome disassemble(const Options& options, ProcessRunner& runner,
                               Environment& environment, const ListingReceiver& receiver) {
    DisassemblyOutcome outcome;
    if (options.elfPath.empty()) {
        outcome.diagnostics.push_back(message(DiagnosticCode::NoElfChosen, kNoElfMessage));
        return outcome;
    }
    if (!environment.fileExists(options.elfPath)) {
        outcome.diagnostics.push_back(
            aboutFile(message(DiagnosticCode::ElfMissing, options.elfPath + kElfMissingMessage),
                      options.elfPath));
        return outcome;
    }
    outcome.elfTime = environment.fileModifiedText(options.elfPath);
    if (options.listingPath.empty()) {
        outcome.diagnostics.push_back(message(DiagnosticCode::NoListingChosen, kNoDisMessage));
        return outcome;
    }
    if (listingWouldReplaceElf(options)) {
        outcome.diagnostics.push_back(
            aboutFile(message(DiagnosticCode::ListingIsElf, options.listingPath + kDisIsElfMessage),
                      options.listingPath));
        return outcome;
    }
    if (const Outcome refused = environment.notReplaceable(options.listingPath)) {
        outcome.diagnostics.push_back(aboutFile(
            error(DiagnosticCode::ListingNotReplaceable,
                  "Cannot replace the listing " + options.listingPath + ": " + refused->reason),
            options.listingPath));
        return outcome;
    }
    // objdump writes into a file of its own, made fresh for this run: a link
    // planted under a fixed name, or another run on the same ELF file, can
    // never be written through. The listing is replaced once it succeeded.
    const auto held = environment.createFileBeside(options.listingPath);
    if (!held.ok()) {
        outcome.diagnostics.push_back(aboutFile(
            error(DiagnosticCode::ListingNotWritten,
                  "Cannot write the listing " + options.listingPath + ": " + held.failure().reason),
            options.listingPath));
        return outcome;
    }
    const std::string& partial = held.value()->path();
    ProcessCommand command = disassemblyCommand(options, partial);
    command.onOutput = receiver;
    const ProcessResult result = runner.run(command, kMinimizedNoFocus);
    // A start the platform refused, with no exit code of a program: reported,
    // and a listing already there is still read.
    if (result.status == ProcessResult::Status::CouldNotStart && result.exitCode == 0) {
        environment.removeFile(partial);
        outcome.diagnostics.push_back(error(DiagnosticCode::DisassemblerNotStarted,
                                            "Disassembler " + programName(options) +
                                                " could not be started: " + result.errorLine));
    } else if (result.exitCode != 0) {
        environment.removeFile(partial);
        outcome.diagnostics.push_back(exitReport(programName(options), result));
        return outcome;
    } else if (const Outcome failed = environment.replaceFile(partial, options.listingPath)) {
        environment.removeFile(partial);
        outcome.diagnostics.push_back(aboutFile(
            error(DiagnosticCode::ListingNotReplaced,
                  "Cannot replace the listing " + options.listingPath + ": " + failed->reason),
            options.listingPath));
        return outcome;
    } else {
        outcome.fresh = true;
    }
    outcome.readListing = environment.fileExists(options.listingPath);
    return outcome;
}

DisassembledListing disassembleAndRead(const Options& options, ProcessRunner& runner,
                                       Environment& environment,
                                       const ListingProgressReport& progress) {
    const std::uint64_t expected = expectedListingBytes(environment, options.elfPath).value_or(0);
    ListingFeed feed(readOptionsOf(options.conversion), expected);
    DisassembledListing done;
    done.outcome = disassemble(options, runner, environment, [&](std::string_view piece) {
        feed.append(piece);
        if (progress)
            progress({feed.bytesReceived(), expected, feed.functionsRead()});
    });
    if (done.outcome.fresh)
        done.read = feed.finish();
    return done;
}

} // namespace travonix
