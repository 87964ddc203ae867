#include "cfunction/OutputFile.h"

namespace travonix {

std::string outputPath(Form& form, std::string_view fileName) {
    return form.options.PluginFolderName + form.env.pathSeparator() + std::string(fileName);
}

bool writeOutputFile(Form& form, const std::string& path, std::string_view bytes) {
    const std::string reason = form.env.writeFileWhole(path, bytes);
    if (reason.empty())
        return true;
    std::string report = "Cannot write " + path + ": " + reason;
    // One line, whatever the platform's reason holds.
    for (char& c : report) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    form.state.statusLine = report;
    form.ui.reportStatus(report);
    return false;
}

} // namespace travonix
