#include "cli/CliRequest.h"

#include "cli/OptionParser.h"
#include "core/Text.h"
#include "core/Version.h"

#include <fstream>

namespace travonix::cli {

namespace {

// The options, in the order the help lists them.
enum Option : std::size_t {
    List,
    PrintListing,
    IncludeMain,
    AllFuncs,
    Mode,
    Name,
    Output,
    Function,
    SaveDisasm,
    Yes,
    Check,
    Strict,
    Objdump,
    Dis,
    PositionIndependent,
    Help,
    Version,
};

const std::vector<OptionSpec>& optionTable() {
    static const std::vector<OptionSpec> table = {
        {{"list"}, "Print the functions found: data mark (0 code, 1 data), TAB, name.", ""},
        {{"print-listing"}, "Print the listing after jump rewriting, one line per item.", ""},
        {{"main"}, "Include main() in the function list.", ""},
        {{"all-funcs"},
         "Read the whole listing: every section, every function (system functions and main "
         "included).",
         ""},
        {{"m", "mode"}, "Output mode: individual (default), single or merge.", "MODE"},
        {{"n", "name"}, "Name of the merged CFunction (merge mode).", "NAME"},
        {{"o", "output"}, "Output folder (default: the listing's folder).", "DIR"},
        {{"f", "function"},
         "Convert only this function (repeatable; default: all listed).",
         "NAME"},
        {{"save-disasm"}, "Also write DisAsm.txt, the converted listing.", ""},
        {{"yes"}, "Go on past a \"jalr\" warning instead of abandoning the run.", ""},
        {{"check"},
         "Check, without writing anything, what in the blocks of this run will not run where the "
         "interpreter loads it; one line per finding on stdout: function, address, kind, what to "
         "do.",
         ""},
        {{"strict"}, "Fail the run (nothing written, exit 4) when the check finds anything.", ""},
        {{"objdump"},
         "Disassembler command for an ELF input (default \"pic32-objdump.exe -D -z\"; when that "
         "is not on the search path, the first found of xc32-objdump, pic32-objdump, "
         "mipsel-linux-gnu-objdump and mips-linux-gnu-objdump, with -D -z); \" -z\" is added to "
         "a command that lacks it, so zero words are printed.",
         "CMD"},
        {{"dis"}, "Listing to write for an ELF input (default: FILE.dis).", "PATH"},
        {{"position-independent"},
         "Merge mode: re-lay the merged block so that its tables, strings, switches and "
         "function pointers work wherever the interpreter loads it (costs words).",
         ""},
        {{"h", "help"}, "Show this help.", ""},
        {{"v", "version"}, "Show the version.", ""},
    };
    return table;
}

std::string usage(const std::string& program) {
    return optionsHelp(program,
                       "Converts a PIC32 disassembly listing (or an ELF file, through objdump) "
                       "into BASIC CFunction blocks in .bas files.",
                       optionTable(), "INPUT",
                       "The listing (LISTING.dis) or the ELF file (FILE.elf, or any name: an ELF "
                       "file is known by its first bytes).") +
           "\nExit codes:\n"
           "  0  done\n"
           "  1  an input, output or disassembly failure (a file that could not be written,\n"
           "     a name that cannot be a file name, a function not in the listing)\n"
           "  2  bad usage\n"
           "  3  abandoned at a jalr warning (use --yes to go on)\n"
           "  4  the relocation check found code that will not run where the interpreter\n"
           "     loads it (--check, or --strict)\n";
}

// As GNU tools do: the message and where to read more, not the whole help,
// which would push the message out of view.
ParseOutcome usageError(const std::string& why) {
    ParseOutcome outcome;
    outcome.text = "travonix-cli: " + why + "\nTry 'travonix-cli --help' for more information.\n";
    outcome.toStderr = true;
    outcome.exitCode = 2;
    return outcome;
}

// An unknown option as it was given ("--x", "-x") comes first; then any other
// complaint.
std::optional<std::string> parseError(const ParsedOptions& parsed) {
    if (!parsed.unknown.empty()) {
        const std::string& name = parsed.unknown.front();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") + name + "'";
    }
    if (!parsed.error.empty())
        return parsed.error;
    return std::nullopt;
}

std::optional<OutputMode> modeFromText(const std::string& text) {
    if (text == "individual")
        return OutputMode::IndividualFiles;
    if (text == "single")
        return OutputMode::SingleFile;
    if (text == "merge")
        return OutputMode::Merged;
    return std::nullopt;
}

// Names and paths reach the tool with exactly the bytes they have, UTF-8 or
// not; an option given more than once counts as its last value.
std::optional<std::string> valueOf(const ParsedOptions& parsed, Option option) {
    if (parsed.values[option].empty())
        return std::nullopt;
    return parsed.values[option].back();
}

bool trimmedIsEmpty(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

bool namedElf(const std::string& path) {
    constexpr std::string_view kSuffix = ".elf";
    return path.size() >= kSuffix.size() &&
           equalsNoCase(std::string_view(path).substr(path.size() - kSuffix.size()), kSuffix);
}

} // namespace

bool startsWithElfMagic(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char head[4] = {};
    if (!file.read(head, sizeof head))
        return false;
    return head[0] == '\x7f' && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
}

ParseOutcome parseCommandLine(const std::vector<std::string>& arguments, const ElfProbe& isElf) {
    const ParsedOptions parsed = parseOptions(optionTable(), arguments);
    if (auto error = parseError(parsed))
        return usageError(*error);

    ParseOutcome outcome;
    if (parsed.given[Help]) {
        outcome.text = usage(arguments.empty() ? std::string("travonix-cli") : arguments.front());
        return outcome;
    }
    if (parsed.given[Version]) {
        outcome.text = std::string("travonix-cli ") + kVersionText + "\n";
        return outcome;
    }
    if (parsed.positional.size() != 1)
        return usageError(parsed.positional.empty() ? "no input file given"
                                                    : "more than one input file given");
    const std::string modeText = valueOf(parsed, Mode).value_or("individual");
    auto mode = modeFromText(modeText);
    if (!mode)
        return usageError("unknown mode '" + modeText + "' (individual, single or merge)");

    CliRequest r;
    r.input = parsed.positional.front();
    r.inputIsElf = namedElf(r.input) || isElf(r.input);
    r.list = parsed.given[List];
    r.printListing = parsed.given[PrintListing];
    r.includeMain = parsed.given[IncludeMain];
    r.allFuncs = parsed.given[AllFuncs];
    r.mode = *mode;
    r.name = valueOf(parsed, Name);
    r.outputDir = valueOf(parsed, Output);
    r.functions = parsed.values[Function];
    r.saveDisasm = parsed.given[SaveDisasm];
    r.yes = parsed.given[Yes];
    r.check = parsed.given[Check];
    r.strict = parsed.given[Strict];
    r.positionIndependent = parsed.given[PositionIndependent];
    r.objdump = valueOf(parsed, Objdump);
    r.disPath = valueOf(parsed, Dis);
    if ((r.objdump || r.disPath) && !r.inputIsElf)
        return usageError("--objdump and --dis apply to an ELF input only");
    if (r.outputDir && r.outputDir->empty())
        return usageError("--output needs a folder");
    if (r.disPath && r.disPath->empty())
        return usageError("--dis needs a file name");
    if (r.positionIndependent && r.mode != OutputMode::Merged)
        return usageError("--position-independent re-lays a merged block: use it with --mode "
                          "merge");
    // The window would ask for the name; a tool in a Makefile cannot.
    if (r.mode == OutputMode::Merged && (!r.name || trimmedIsEmpty(*r.name)))
        return usageError("merge mode needs --name NAME");
    outcome.request = std::move(r);
    return outcome;
}

} // namespace travonix::cli
