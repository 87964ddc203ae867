#include "cfunction/MakeCommand.h"

#include "app/Product.h"
#include "cfunction/BuildCFunctionBlock.h"
#include "cfunction/GenerationRun.h"
#include "cfunction/OutputFile.h"
#include "cfunction/OutputModes.h"
#include "cfunction/SizeReport.h"
#include "listing/TextRules.h"

#include <string>

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
    for (const FunctionEntry& entry : form.state.funcs) {
        if (entry.selected)
            run.rows.push_back({entry.name, entry.dataMark, {}});
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
