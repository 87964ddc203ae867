#include "listing/ShowDis.h"

#include "app/Product.h"
#include "cfunction/MakeCommand.h"
#include "listing/JumpRewriter.h"
#include "listing/ListingReader.h"
#include "listing/SavedSelection.h"

#include <optional>
#include <string>

namespace travonix {

namespace {

constexpr const char* kNoDisFileMessage =
    "No .DIS file available, use Select .ELF to select  a .ELF file which will automatically "
    "create the required .DIS file.";

// The listing's text, or std::nullopt when there is none to read: a missing
// file is silent, one that exists but cannot be read is reported.
std::optional<std::string> listingText(Form& form) {
    const std::string& path = form.options.DISFileName;
    if (!form.env.fileExists(path))
        return std::nullopt;
    auto text = form.env.readFile(path);
    if (!text)
        form.ui.reportStatus("Cannot read the disassembly listing " + path);
    return text;
}

int firstItemOrNone(std::size_t count) {
    return count == 0 ? -1 : 0;
}

} // namespace

void cmdShowDIS_Click(Form& form) {
    if (form.options.DISFileName.empty()) {
        form.ui.messageBox(kNoDisFileMessage, kProductName);
        return;
    }
    const auto text = listingText(form);
    if (!text)
        return;

    WindowState& state = form.state;
    const SavedSelection saved(state.funcs);
    state.pluginSrc.clear();
    state.pluginSrcTop = 0;
    state.pluginSrcHasSelection = false;
    state.txtPluginMakeTime.clear();

    const bool fullReading = state.chkShowAllFuncs != kUnchecked;
    ListingReadResult read = readListing(*text, listingReadOptions(form.options, fullReading));
    state.showFile = std::move(read.listing);
    state.funcs = std::move(read.functions);
    if (read.fillerLimitReached)
        form.ui.reportWarning(fillerLimitWarning());

    state.funcsCurrent = firstItemOrNone(state.funcs.size());
    saved.applyTo(state.funcs);
    ConvertJumps(form);
    if (state.chkAutoGeneratePlugin == kChecked)
        cmdMakeBas_Click(form);
    state.showFileCurrent = firstItemOrNone(state.showFile.size());
}

} // namespace travonix
