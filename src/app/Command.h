#pragma once

#include "core/Options.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace travonix {

struct ConversionJob;
struct DisassemblyJob;

// What a command sets off, as values. The orchestrator's loop runs them in
// order, before anything that arrived after the command.
enum class FollowUp : std::uint8_t {
    ReadListing, // the listing file read anew, the selection kept
    Make,        // the CFunctions made from the selected functions
    Disassemble, // the ELF file disassembled, then the listing read
};
using FollowUps = std::vector<FollowUp>;

// The commands of the window's controls, its choosers and its watcher, of
// start-up's plan, and the ends of the jobs they started: each one a value
// that the orchestrator turns into its follow-ups.
namespace command {
struct Refresh {};
struct Make {};
struct ReadListing {};
struct ShowAllFunctions {
    bool on;
};
struct SelectAll {
    bool on;
    bool applyToList = true; // start-up's True keeps the functions as read
};
struct IncludeMain {
    bool on;
};
struct SelectOutputMode {
    OutputMode mode;
    bool makeAfter = true; // start-up selects the stored type without making
};
// The stored output type is the one already shown: no click, but it holds.
struct KeepOutputMode {
    OutputMode mode;
};
struct MergedName {
    std::string text;
};
struct KeepListingCopy {
    bool on;
};
struct PositionIndependent {
    bool on;
};
struct AutoLoadElf {
    bool on;
};
struct AutoCheck {
    bool on;
};
struct AutoGenerate {
    bool on;
};
struct SelectToolchain {
    Toolchain toolchain;
};
// Start-up's MPLabX when MPLab was not restored: the choice shown, the
// stored command kept, nothing disassembled.
struct ShowToolchain {
    Toolchain toolchain;
};
struct OtherDisassembler {};
struct DisassemblerCommand {
    std::string command;
};
struct ElfChosen {
    std::string path;
};
struct OutputFolderChosen {
    std::string folder;
};
struct WatcherTick {};
// Start-up's first step: the paths and the command as stored.
struct StoredPaths {
    std::optional<std::string> elf;
    std::optional<std::string> listing;
    std::optional<std::string> disassemblerCommand;
    std::optional<std::string> outputFolder;
};
// Start-up: the ELF file's time noted for the watcher.
struct NoteElfTime {};
// Start-up: a stored disassembler that is not there replaced by one found.
struct OfferFoundDisassembler {};
// A job's end, its result in it.
struct DisassemblyDone {
    std::shared_ptr<DisassemblyJob> job;
};
struct ConversionDone {
    std::shared_ptr<ConversionJob> job;
};
} // namespace command

using Command =
    std::variant<command::Refresh, command::Make, command::ReadListing, command::ShowAllFunctions,
                 command::SelectAll, command::IncludeMain, command::SelectOutputMode,
                 command::KeepOutputMode, command::MergedName, command::KeepListingCopy,
                 command::PositionIndependent, command::AutoLoadElf, command::AutoCheck,
                 command::AutoGenerate, command::SelectToolchain, command::ShowToolchain,
                 command::OtherDisassembler, command::DisassemblerCommand, command::ElfChosen,
                 command::OutputFolderChosen, command::WatcherTick, command::StoredPaths,
                 command::NoteElfTime, command::OfferFoundDisassembler, command::DisassemblyDone,
                 command::ConversionDone>;

} // namespace travonix
