#include "cli/CliRun.h"

#include "cfunction/MakeCommand.h"
#include "cli/CliServices.h"
#include "cli/RecordingEnvironment.h"
#include "listing/ShowDis.h"
#include "listing/TextRules.h"
#include "platform/Disassembler.h"

#include <set>

namespace travonix::cli {

namespace {

// The folder part of a path as the user wrote it: "." for a bare file name.
std::string folderOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos)
        return ".";
    if (cut == 0)
        return path.substr(0, 1);
    return path.substr(0, cut);
}

void setUpReading(Form& form, const CliRequest& r) {
    form.options = defaultOptions();
    form.options.ShowMain = r.includeMain;
    form.options.SelectAllFuncs = true;
    form.state.chkShowMain = r.includeMain ? kChecked : kUnchecked;
    form.state.chkShowAllFuncs = r.allFuncs ? kChecked : kUnchecked;
    form.state.chkSelectAllFuncs = kChecked;
    form.state.chkAutoGeneratePlugin = kUnchecked;
}

bool checkReadable(Environment& env, const std::string& path, std::ostream& err) {
    if (!env.fileExists(path)) {
        err << "travonix-cli: cannot read '" << path << "': no such file\n";
        return false;
    }
    if (!env.readFile(path)) {
        err << "travonix-cli: cannot read '" << path << "'\n";
        return false;
    }
    return true;
}

bool selectFunctions(Form& form, const std::vector<std::string>& wanted, std::ostream& err) {
    if (wanted.empty())
        return true;
    std::set<std::string> names(wanted.begin(), wanted.end());
    for (const std::string& name : wanted) {
        bool listed = false;
        for (const FunctionEntry& f : form.state.funcs)
            listed = listed || f.name == name;
        if (!listed) {
            err << "travonix-cli: function '" << name << "' is not in the function list\n";
            return false;
        }
    }
    for (FunctionEntry& f : form.state.funcs)
        f.selected = names.count(f.name) != 0;
    return true;
}

bool setUpGeneration(Form& form, const CliRequest& r, std::ostream& err) {
    AppOptions& o = form.options;
    o.PluginFolderName = r.outputDir ? *r.outputDir : folderOf(o.DISFileName);
    o.SaveDisAsm = r.saveDisasm;
    o.MergePlugins = r.mode == OutputMode::Merge;
    o.SinglePluginFile = r.mode == OutputMode::Single;
    o.IndividualPluginFiles = r.mode == OutputMode::Individual;
    form.state.optOutputFileType = static_cast<int>(r.mode);
    if (r.mode != OutputMode::Merge)
        return true;
    std::string name = r.name ? std::string(trimBlanks(*r.name)) : std::string();
    if (name.empty()) {
        // The window would ask for the name; a tool in a Makefile cannot.
        err << "Enter a name for the Cfunction\n";
        return false;
    }
    form.state.txtCFunctionName = name;
    form.state.txtCFunctionNameVisible = true;
    o.MergeCFunctionName = name;
    return true;
}

void printListing(const Form& form, std::ostream& out) {
    for (const ListingItem& item : form.state.showFile)
        out << item.text << '\n';
}

void printFunctions(const Form& form, std::ostream& out) {
    for (const FunctionEntry& f : form.state.funcs)
        out << (f.dataMark != 0 ? 1 : 0) << '\t' << f.name << '\n';
}

bool anySelected(const Form& form) {
    for (const FunctionEntry& f : form.state.funcs)
        if (f.selected)
            return true;
    return false;
}

// FILE.elf -> FILE.dis; a name without the extension just gets ".dis".
std::string listingPathFor(const std::string& elf) {
    std::size_t dot = elf.find_last_of('.');
    std::size_t cut = elf.find_last_of("/\\");
    if (dot == std::string::npos || (cut != std::string::npos && dot < cut))
        return elf + ".dis";
    return elf.substr(0, dot) + ".dis";
}

// Runs the disassembler on the ELF input, which ends by reading the fresh
// listing. False when that did not happen; the reason is on stderr.
bool disassemble(Form& form, const CliRequest& r, const RecordingEnvironment& files,
                 const CliServices& services) {
    form.options.ELFFileName = r.input;
    form.options.DISFileName = r.disPath ? *r.disPath : listingPathFor(r.input);
    if (r.objdump)
        form.options.DisAsmCmd = applyDashZRule(*r.objdump);
    modShellAndWait::ProcessRunner runner;
    cmdDisassemble_Click(form, runner);
    return !services.failureReported() && files.wasRead(form.options.DISFileName);
}

bool readInput(Form& form, const CliRequest& r, RecordingEnvironment& files,
               const CliServices& services, std::ostream& err) {
    if (!checkReadable(files, r.input, err))
        return false;
    if (r.inputIsElf)
        return disassemble(form, r, files, services);
    form.options.DISFileName = r.input;
    cmdShowDIS_Click(form);
    return !services.failureReported();
}

} // namespace

int runCli(const CliRequest& r, Environment& env, std::ostream& out, std::ostream& err) {
    CliServices services(err, r.yes);
    RecordingEnvironment recording(env);
    Form form(services, recording);
    setUpReading(form, r);
    if (!readInput(form, r, recording, services, err))
        return kExitFailure;

    if (r.list || r.printListing) {
        if (r.printListing)
            printListing(form, out);
        if (r.list)
            printFunctions(form, out);
        return kExitOk;
    }

    if (!selectFunctions(form, r.functions, err) || !setUpGeneration(form, r, err))
        return kExitFailure;
    const bool haveSelection = anySelected(form);
    cmdMakeBas_Click(form);
    if (services.questionDeclined())
        return kExitAbandoned;

    for (const std::string& path : recording.written())
        out << path << '\n';
    if (haveSelection)
        out << form.state.txtPluginSize << '\n';
    for (const std::string& message : services.completionMessages())
        out << terminalText(message) << '\n';
    if (!haveSelection || services.failureReported())
        return kExitFailure;
    return kExitOk;
}

} // namespace travonix::cli
