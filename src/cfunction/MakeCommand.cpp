#include "cfunction/MakeCommand.h"

#include "app/Product.h"
#include "cfunction/BuildCFunctionBlock.h"
#include "cfunction/FileNameCheck.h"
#include "cfunction/GenerationRun.h"
#include "cfunction/OutputFile.h"
#include "cfunction/OutputModes.h"
#include "cfunction/SizeReport.h"
#include "listing/TextRules.h"

#include <set>
#include <string>
#include <unordered_map>

namespace travonix {

namespace {

// Merge mode needs a name for the merged CFunction; asks for one when none is
// remembered. False when the user gave none and the run must end.
bool ensureMergedName(Form& form) {
    if (!form.options.MergeCFunctionName.empty())
        return true;
    const std::optional<std::string> answer =
        form.ui.inputBox("Enter a name for the CFunction", kProductName, "");
    const std::string name(trimBlanks(answer.value_or(std::string())));
    if (name.empty()) {
        form.ui.messageBox("Enter a name for the Cfunction", kProductName);
        form.ui.setFocus(Control::txtCFunctionName);
        return false;
    }
    setCFunctionNameText(form, name);
    return true;
}

void collectSelectedFunctions(const Form& form, GenerationRun& run) {
    std::unordered_map<std::string, std::size_t> seen;
    for (const FunctionEntry& entry : form.state.funcs) {
        const std::size_t occurrence = seen[entry.name]++;
        if (entry.selected)
            run.rows.push_back({entry.name, entry.dataMark, {}, occurrence, {}});
    }
}

// Every row must find its own header line again. A missing one is reported by
// name; in merge mode the run then ends, since every later call in the merged
// block would land in the wrong place. False when the run must end.
bool findHeaderLines(Form& form, GenerationRun& run) {
    run.headers.build(form.state.showFile);
    std::vector<SelectedFunction> found;
    for (SelectedFunction& row : run.rows) {
        if (run.headers.find(row.nameInListing(), row.occurrence)) {
            found.push_back(std::move(row));
            continue;
        }
        form.ui.reportStatus("Function " + printableName(row.nameInListing()) +
                             " is no longer in the listing: no CFunction was made for it");
        if (run.merge)
            return false;
    }
    run.rows = std::move(found);
    return true;
}

// Two functions of one name (static helpers of two C files) would write one
// file twice: in one-file-per-function mode the later ones get a file of
// their own, name_2.bas and so on; in single-file mode both blocks stay in
// the one file and the clash is reported.
void separateSameNamedFunctions(Form& form, GenerationRun& run, bool renameFiles) {
    std::set<std::string> taken;
    for (const SelectedFunction& row : run.rows)
        taken.insert(row.name);
    for (SelectedFunction& row : run.rows) {
        if (row.occurrence == 0)
            continue;
        const std::string shown = printableName(row.name);
        if (!renameFiles) {
            form.ui.reportWarning("Two functions are named " + shown +
                                  ": both CFunctions carry that name");
            continue;
        }
        std::string name;
        for (std::size_t n = row.occurrence + 1;; ++n) {
            name = row.name + "_" + std::to_string(n);
            if (taken.insert(name).second)
                break;
        }
        form.ui.reportWarning("Two functions are named " + shown +
                              ": the later one is written as " + printableName(name) + ".bas");
        row.listingName = row.name;
        row.name = name;
    }
}

void startOutput(Form& form) {
    form.state.pluginSrc.clear();
    form.state.pluginSrcTop = 0;
    form.state.pluginSrcHasSelection = false;
    const LocalDateTime now = form.env.now();
    form.state.txtPluginMakeTime = "Created at " + formatDate(now) + "  " + formatTime(now);
}

bool buildAllBlocks(Form& form, GenerationRun& run) {
    for (std::size_t k = 0; k < run.rows.size(); ++k) {
        if (BuildCFunctionBlock(run, k, form) == BlockOutcome::Abandoned)
            return false;
    }
    return true;
}

void showCompletion(Form& form, const std::string& message) {
    if (message.empty() || form.state.chkAutoGeneratePlugin == kChecked)
        return; // an automatic run writes silently
    form.ui.messageBox(message, std::string(kProductName) + " Maker");
}

void writeListingCopy(Form& form, const GenerationRun& run) {
    if (form.options.SaveDisAsm)
        writeOutputFile(form, outputPath(form, "DisAsm.txt"), run.listingCopy + "\r\n");
}

} // namespace

void cmdMakeBas_Click(Form& form) {
    GenerationRun run;
    run.merge = form.options.MergePlugins;
    if (form.options.PluginFolderName.empty()) {
        form.ui.messageBox("No output folder specified for the CFunctions, please select a folder",
                           kProductName);
        return;
    }
    if (run.merge && !ensureMergedName(form))
        return;
    collectSelectedFunctions(form, run);
    if (run.rows.empty()) {
        form.ui.messageBox("No Functions selected for conversion", kProductName);
        return;
    }
    if (!findHeaderLines(form, run) || run.rows.empty())
        return;
    if (!run.merge)
        separateSameNamedFunctions(form, run, !form.options.SinglePluginFile);

    startOutput(form);
    if (!buildAllBlocks(form, run))
        return; // declined after a "jalr" warning: nothing is written
    form.state.txtPluginSize = sizeReportText(run.wordCounter);
    form.state.pluginSrcTop = 0;
    form.state.pluginSrcHasSelection = false;
    if (run.merge)
        writeEntryOffset(run);
    showCompletion(form, writeBasFilesByMode(form, run));
    writeListingCopy(form, run);
}

} // namespace travonix
