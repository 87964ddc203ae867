#include "platform/Disassembler.h"

#include "app/Product.h"
#include "listing/ShowDis.h"
#include "platform/DisassemblyCommand.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>

namespace travonix {

namespace {

constexpr const char* kNoElfMessage = "No .ELF file specified, use .ELF button to pick a .ELF file";
constexpr const char* kElfMissingMessage = " does not exist, use .ELF button to pick a .ELF file";
constexpr const char* kNoDisMessage = "No .DIS file specified, use .ELF button to pick a .ELF file";
constexpr const char* kDisIsElfMessage =
    " is both the .ELF file and the .DIS file: disassembling would overwrite the .ELF file, "
    "use .ELF button to pick a .ELF file whose name holds .elf";
constexpr const char* kListingToolTip = "Disassembly of .ELF";

// The listing's redirection would empty the ELF file before objdump reads it.
bool disWouldReplaceElf(const AppOptions& options) {
    if (options.DISFileName == options.ELFFileName)
        return true;
    std::error_code ec;
    return std::filesystem::equivalent(options.DISFileName, options.ELFFileName, ec) && !ec;
}

std::string programName(const AppOptions& options) {
    const auto words = splitCommandWords(options.DisAsmCmd);
    return words.empty() ? std::string("(no disassembler command)") : words.front();
}

// A failure without a message box: one line for the status line (and the
// command-line tool's stderr).
void reportFailure(Form& form, const std::string& line) {
    form.state.statusLine = line;
    form.ui.reportStatus(line);
}

std::string exitReport(const std::string& program, std::int32_t exitCode,
                       const std::string& errorLine) {
    std::string line =
        "Disassembler " + program + " ended with exit code " + std::to_string(exitCode);
    if (exitCode == modShellAndWait::kStillActive)
        line += " (still running when the wait ended)";
    if (!errorLine.empty())
        line += ": " + errorLine;
    return line;
}

// objdump writes here first; only a run that succeeded replaces the listing,
// so a missing or failing disassembler never leaves an empty one behind.
std::string partialListingPath(const AppOptions& options) {
    return options.DISFileName + ".travonix-partial";
}

void removeFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// The run's exit code, or std::nullopt when the runner raised an error.
std::optional<std::int32_t> runDisassembler(Form& form, modShellAndWait::ProcessRunner& runner,
                                            const std::string& listingPath) {
    try {
        return runner.ShellSync(disassemblyCommand(form.options, listingPath),
                                modShellAndWait::kMinimizedNoFocus);
    } catch (const ShellError& error) {
        reportFailure(form, "Disassembler " + programName(form.options) +
                                " could not be started: " + error.description() + " (" +
                                error.source() + " error " + std::to_string(error.number()) + ")");
    } catch (const std::exception& error) {
        reportFailure(form, "Disassembler " + programName(form.options) +
                                " could not be started: " + error.what());
    }
    return std::nullopt;
}

bool replaceListing(Form& form, const std::string& partial) {
    std::error_code ec;
    std::filesystem::rename(partial, form.options.DISFileName, ec);
    if (!ec)
        return true;
    removeFile(partial);
    reportFailure(form,
                  "Cannot replace the listing " + form.options.DISFileName + ": " + ec.message());
    return false;
}

} // namespace

void SelectToolchain(Form& form, std::int16_t index, modShellAndWait::ProcessRunner& runner) {
    AppOptions& options = form.options;
    options.MPLab = false;
    options.MPLabX = false;
    if (index == 0) {
        options.DisAsmCmd = kMPLabXDisAsmCmd;
        options.MPLabX = true;
    } else if (index == 1) {
        options.DisAsmCmd = kMPLabDisAsmCmd;
        options.MPLab = true;
    }
    form.state.showFileToolTip = kListingToolTip;
    cmdDisassemble_Click(form, runner);
}

void cmdDisassemble_Click(Form& form, modShellAndWait::ProcessRunner& runner) {
    const AppOptions& options = form.options;
    if (options.ELFFileName.empty()) {
        form.ui.messageBox(kNoElfMessage, kProductName);
        return;
    }
    if (!form.env.fileExists(options.ELFFileName)) {
        form.ui.messageBox(options.ELFFileName + kElfMissingMessage, kProductName);
        return;
    }
    if (auto modified = form.env.fileModifiedText(options.ELFFileName))
        form.options.LastELFDateTime = *modified;
    if (options.DISFileName.empty()) {
        form.ui.messageBox(kNoDisMessage, kProductName);
        return;
    }
    if (disWouldReplaceElf(options)) {
        form.ui.messageBox(options.DISFileName + kDisIsElfMessage, kProductName);
        return;
    }
    const std::string partial = partialListingPath(options);
    const std::optional<std::int32_t> exitCode = runDisassembler(form, runner, partial);
    if (exitCode && *exitCode != 0) {
        removeFile(partial);
        reportFailure(form, exitReport(programName(options), *exitCode, runner.lastErrorLine()));
        return;
    }
    // A runner error is reported, and a listing already there is still read.
    if (!exitCode)
        removeFile(partial);
    else if (!replaceListing(form, partial))
        return;
    if (!form.env.fileExists(options.DISFileName))
        return;
    cmdShowDIS_Click(form);
}

} // namespace travonix
