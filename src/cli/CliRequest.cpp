#include "cli/CliRequest.h"

#include "core/Version.h"

#include <QCommandLineParser>
#include <QFile>
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
    QCommandLineOption objdump{
        "objdump",
        "Disassembler command for an ELF input (default \"pic32-objdump.exe -D -z\"; when that "
        "is not on the search path, the first found of xc32-objdump, pic32-objdump, "
        "mipsel-linux-gnu-objdump and mips-linux-gnu-objdump, with -D -z); \" -z\" is added to "
        "a command that lacks it, so zero words are printed.",
        "CMD"};
    QCommandLineOption dis{"dis", "Listing to write for an ELF input (default: FILE.dis).", "PATH"};
    QCommandLineOption check{"check",
                             "Check, without writing anything, what in the blocks of this run "
                             "will not run where the interpreter loads it; one line per finding "
                             "on stdout: function, address, kind, what to do."};
    QCommandLineOption strict{"strict", "Fail the run (nothing written, exit 4) when the check "
                                        "finds anything."};
    QCommandLineOption positionIndependent{
        "position-independent",
        "Merge mode: re-lay the merged block so that its tables, strings, switches and "
        "function pointers work wherever the interpreter loads it (costs words)."};
    QCommandLineOption help{{"h", "help"}, "Show this help."};
    QCommandLineOption version{{"v", "version"}, "Show the version."};

    Parser() {
        parser.setApplicationDescription(
            "Converts a PIC32 disassembly listing (or an ELF file, through objdump) into BASIC "
            "CFunction blocks in .bas files.");
        parser.addOptions({list, printListing, includeMain, allFuncs, mode, name, output, function,
                           saveDisasm, yes, check, strict, objdump, dis, positionIndependent, help,
                           version});
        parser.addPositionalArgument(
            "INPUT",
            "The listing (LISTING.dis) or the ELF file (FILE.elf, or any name: an ELF file is "
            "known by its first bytes).");
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

// As GNU tools do: the message and where to read more, not the whole help,
// which would push the message out of view.
ParseOutcome usageError(const std::string& why) {
    ParseOutcome outcome;
    outcome.text = "travonix-cli: " + why + "\nTry 'travonix-cli --help' for more information.\n";
    outcome.toStderr = true;
    outcome.exitCode = 2;
    return outcome;
}

// The parser's complaint in the tool's own words: an unknown option as it was
// given ("--x", "-x"), any other without its capital and full stop.
std::string parseError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.front();
        return "unknown option '" + std::string(name.size() == 1 ? "-" : "--") +
               name.toLatin1().toStdString() + "'";
    }
    std::string text = parser.errorText().toLatin1().toStdString();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (!text.empty() && text.front() >= 'A' && text.front() <= 'Z')
        text.front() = static_cast<char>(text.front() - 'A' + 'a');
    return text;
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

bool startsWithElfMagic(const std::string& path) {
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr char kElfMagic[] = {'\x7f', 'E', 'L', 'F'};
    return file.read(sizeof kElfMagic) == QByteArray(kElfMagic, sizeof kElfMagic);
}

ParseOutcome parseCommandLine(const std::vector<std::string>& arguments, const ElfProbe& isElf) {
    Parser p;
    QStringList args;
    for (const std::string& a : arguments)
        args << fromBytes(a);
    if (!p.parser.parse(args))
        return usageError(parseError(p.parser));

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
        return usageError(positional.isEmpty() ? "no input file given"
                                               : "more than one input file given");
    auto mode = modeFromText(p.parser.value(p.mode));
    if (!mode)
        return usageError("unknown mode '" + toBytes(p.parser.value(p.mode)) +
                          "' (individual, single or merge)");

    CliRequest r;
    r.input = toBytes(positional.front());
    r.inputIsElf = positional.front().endsWith(".elf", Qt::CaseInsensitive) || isElf(r.input);
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
    r.positionIndependent = p.parser.isSet(p.positionIndependent);
    r.objdump = valueOf(p.parser, p.objdump);
    r.disPath = valueOf(p.parser, p.dis);
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
