#include "cli/CliRequest.h"

#include "core/Version.h"

#include <QCommandLineParser>
#include <QStringList>

namespace travonix::cli {

namespace {

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption list{"list",
                            "Print the functions found: data mark (0 code, 1 data), TAB, name."};
    QCommandLineOption printListing{"print-listing",
                                    "Print the listing after jump rewriting, one line per item."};
    QCommandLineOption includeMain{"main", "Include main() in the function list."};
    QCommandLineOption allFuncs{
        "all-funcs",
        "Read the whole listing: every section, every function (system functions and main "
        "included)."};
    QCommandLineOption mode{
        {"m", "mode"}, "Output mode: individual (default), single or merge.", "MODE", "individual"};
    QCommandLineOption name{{"n", "name"}, "Name of the merged CFunction (merge mode).", "NAME"};
    QCommandLineOption output{
        {"o", "output"}, "Output folder (default: the listing's folder).", "DIR"};
    QCommandLineOption function{
        {"f", "function"}, "Convert only this function (repeatable; default: all listed).", "NAME"};
    QCommandLineOption saveDisasm{"save-disasm", "Also write DisAsm.txt, the converted listing."};
    QCommandLineOption yes{"yes", "Go on past a \"jalr\" warning instead of abandoning the run."};
    QCommandLineOption objdump{"objdump",
                               "Disassembler command for an ELF input (default "
                               "\"pic32-objdump.exe -D -z\"); \" -z\" is added to a command "
                               "that lacks it, so zero words are printed.",
                               "CMD"};
    QCommandLineOption dis{"dis", "Listing to write for an ELF input (default: FILE.dis).", "PATH"};
    QCommandLineOption check{"check",
                             "Check, without writing anything, what in the blocks of this run "
                             "will not run where the interpreter loads it; one line per finding "
                             "on stdout: function, address, kind, what to do."};
    QCommandLineOption strict{"strict", "Fail the run (nothing written, exit 4) when the check "
                                        "finds anything."};
    QCommandLineOption help{{"h", "help"}, "Show this help."};
    QCommandLineOption version{{"v", "version"}, "Show the version."};

    Parser() {
        parser.setApplicationDescription(
            "Converts a PIC32 disassembly listing (or an ELF file, through objdump) into BASIC "
            "CFunction blocks in .bas files.");
        parser.addOptions({list, printListing, includeMain, allFuncs, mode, name, output, function,
                           saveDisasm, yes, check, strict, objdump, dis, help, version});
        parser.addPositionalArgument("INPUT",
                                     "The listing (LISTING.dis) or the ELF file (FILE.elf).");
    }

    std::string usage() const {
        return parser.helpText().toStdString() +
               "\nExit codes:\n"
               "  0  done\n"
               "  1  an input, output or disassembly failure (a file that could not be written,\n"
               "     a name that cannot be a file name, a function not in the listing)\n"
               "  2  bad usage\n"
               "  3  abandoned at a jalr warning (use --yes to go on)\n"
               "  4  the relocation check found code that will not run where the interpreter\n"
               "     loads it (--check, or --strict)\n";
    }
};

ParseOutcome usageError(const Parser& p, const std::string& why) {
    ParseOutcome outcome;
    outcome.text = "travonix-cli: " + why + "\n\n" + p.usage();
    outcome.toStderr = true;
    outcome.exitCode = 2;
    return outcome;
}

std::optional<OutputMode> modeFromText(const QString& text) {
    if (text == "individual")
        return OutputMode::IndividualFiles;
    if (text == "single")
        return OutputMode::SingleFile;
    if (text == "merge")
        return OutputMode::Merged;
    return std::nullopt;
}

// Arguments are carried as Latin-1, one character per byte, so names and
// paths reach the tool with exactly the bytes they have, UTF-8 or not.
QString fromBytes(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

std::optional<std::string> valueOf(const QCommandLineParser& parser, const QCommandLineOption& o) {
    if (!parser.isSet(o))
        return std::nullopt;
    return toBytes(parser.value(o));
}

bool trimmedIsEmpty(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

ParseOutcome parseCommandLine(const std::vector<std::string>& arguments) {
    Parser p;
    QStringList args;
    for (const std::string& a : arguments)
        args << fromBytes(a);
    if (!p.parser.parse(args))
        return usageError(p, p.parser.errorText().toStdString());

    ParseOutcome outcome;
    if (p.parser.isSet(p.help)) {
        outcome.text = p.usage();
        return outcome;
    }
    if (p.parser.isSet(p.version)) {
        outcome.text = std::string("travonix-cli ") + kVersionText + "\n";
        return outcome;
    }
    const QStringList positional = p.parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(p, positional.isEmpty() ? "no input file given"
                                                  : "more than one input file given");
    auto mode = modeFromText(p.parser.value(p.mode));
    if (!mode)
        return usageError(p, "unknown mode '" + p.parser.value(p.mode).toStdString() +
                                 "' (individual, single or merge)");

    CliRequest r;
    r.input = toBytes(positional.front());
    r.inputIsElf = positional.front().endsWith(".elf", Qt::CaseInsensitive);
    r.list = p.parser.isSet(p.list);
    r.printListing = p.parser.isSet(p.printListing);
    r.includeMain = p.parser.isSet(p.includeMain);
    r.allFuncs = p.parser.isSet(p.allFuncs);
    r.mode = *mode;
    r.name = valueOf(p.parser, p.name);
    r.outputDir = valueOf(p.parser, p.output);
    for (const QString& f : p.parser.values(p.function))
        r.functions.push_back(toBytes(f));
    r.saveDisasm = p.parser.isSet(p.saveDisasm);
    r.yes = p.parser.isSet(p.yes);
    r.check = p.parser.isSet(p.check);
    r.strict = p.parser.isSet(p.strict);
    r.objdump = valueOf(p.parser, p.objdump);
    r.disPath = valueOf(p.parser, p.dis);
    if ((r.objdump || r.disPath) && !r.inputIsElf)
        return usageError(p, "--objdump and --dis apply to an ELF input only");
    if (r.outputDir && r.outputDir->empty())
        return usageError(p, "--output needs a folder");
    if (r.disPath && r.disPath->empty())
        return usageError(p, "--dis needs a file name");
    // The window would ask for the name; a tool in a Makefile cannot.
    if (r.mode == OutputMode::Merged && (!r.name || trimmedIsEmpty(*r.name)))
        return usageError(p, "Enter a name for the Cfunction: merge mode needs --name NAME");
    outcome.request = std::move(r);
    return outcome;
}

} // namespace travonix::cli
