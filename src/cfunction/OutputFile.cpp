#include "cfunction/OutputFile.h"

#include "cfunction/FileNameCheck.h"

namespace travonix {

namespace {

// One line, whatever the platform's reason or the name holds.
void reportWriteFailure(Form& form, std::string_view path, std::string_view reason) {
    std::string report = "Cannot write " + printableName(path) + ": ";
    report += reason;
    for (char& c : report) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    form.state.statusLine = report;
    form.ui.reportStatus(report);
}

// The last check before a file is written: the path is the output folder,
// one separator and a plain file name, so nothing lands outside the folder.
bool isInsideOutputFolder(Form& form, std::string_view path) {
    const std::string prefix = form.options.PluginFolderName + form.env.pathSeparator();
    if (!path.starts_with(prefix))
        return false;
    const std::string_view fileName = path.substr(prefix.size());
    return !fileName.empty() && fileName != "." && fileName != ".." &&
           fileName.find_first_of("/\\") == std::string_view::npos &&
           fileName.find('\0') == std::string_view::npos;
}

} // namespace

std::string outputPath(Form& form, std::string_view fileName) {
    return form.options.PluginFolderName + form.env.pathSeparator() + std::string(fileName);
}

bool writeOutputFile(Form& form, const std::string& path, std::string_view bytes) {
    if (!isInsideOutputFolder(form, path)) {
        reportWriteFailure(form, path, "the file would lie outside the output folder");
        return false;
    }
    const std::string reason = form.env.writeFileWhole(path, bytes);
    if (reason.empty())
        return true;
    reportWriteFailure(form, path, reason);
    return false;
}

bool checkOutputFileName(Form& form, std::string_view name, std::string_view extension) {
    const auto problem = fileNameProblem(name, extension);
    if (!problem)
        return true;
    std::string fileName(name);
    fileName += extension;
    reportWriteFailure(form, fileName, *problem);
    return false;
}

} // namespace travonix
