#include "execution/BasGenerator.h"

#include "cfunction/MakeCommand.h"
#include "listing/Form.h"
#include "listing/ListingReader.h"
#include "listing/ShowDis.h"
#include "support/FakeEnvironment.h"

namespace travonix::execution {
namespace {

const std::string kDisPath = "C:\\corpus\\program.dis";
const std::string kOutputFolder = "C:\\out";

void setOutputMode(Form& form, OutputMode mode) {
    form.state.optOutputFileType = static_cast<int>(mode);
    form.options.IndividualPluginFiles = mode == OutputMode::Individual;
    form.options.SinglePluginFile = mode == OutputMode::Single;
    form.options.MergePlugins = mode == OutputMode::Merge;
    form.state.txtCFunctionNameVisible = mode == OutputMode::Merge;
    if (mode == OutputMode::Merge) {
        form.state.txtCFunctionName = kMergedName;
        form.options.MergeCFunctionName = kMergedName;
    }
}

void configure(Form& form, OutputMode mode) {
    form.options = defaultOptions();
    form.options.DISFileName = kDisPath;
    form.options.PluginFolderName = kOutputFolder;
    form.options.SelectAllFuncs = true;
    form.options.ShowMain = true;
    form.state.chkSelectAllFuncs = kChecked;
    form.state.chkShowMain = kChecked;
    form.state.chkAutoGeneratePlugin = kUnchecked;
    form.state.chkShowAllFuncs = kUnchecked;
    setOutputMode(form, mode);
}

// The read without its last step: the listing and function list as the
// reader gives them, jumps untouched.
void readWithoutRewriting(Form& form, const std::string& disText) {
    ListingReadResult read = readListing(disText, listingReadOptions(form.options, false));
    form.state.showFile = std::move(read.listing);
    form.state.funcs = std::move(read.functions);
}

std::map<std::string, std::string> basFiles(const test::FakeEnvironment& env) {
    const std::string prefix = kOutputFolder + env.separator;
    const std::string suffix = ".bas";
    std::map<std::string, std::string> files;
    for (const auto& [path, text] : env.files) {
        bool inFolder = path.compare(0, prefix.size(), prefix) == 0;
        bool isBas = path.size() > suffix.size() &&
                     path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
        if (inFolder && isBas)
            files[path.substr(prefix.size(), path.size() - prefix.size() - suffix.size())] = text;
    }
    return files;
}

} // namespace

const char* modeName(OutputMode mode) {
    switch (mode) {
    case OutputMode::Individual:
        return "individual";
    case OutputMode::Single:
        return "single";
    case OutputMode::Merge:
        return "merge";
    }
    return "?";
}

GeneratedBas generateBas(const std::string& disText, OutputMode mode, bool rewriteJumps) {
    test::FakeEnvironment env;
    test::ScriptedServices ui;
    ui.yesNoAnswers.assign(64, true);
    env.files[kDisPath] = disText;
    Form form(ui, env);
    configure(form, mode);

    if (rewriteJumps)
        cmdShowDIS_Click(form);
    else
        readWithoutRewriting(form, disText);
    cmdMakeBas_Click(form);

    return {basFiles(env), ui.messages, ui.questions};
}

} // namespace travonix::execution
