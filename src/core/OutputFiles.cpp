#include "core/Conversion.h"

#include "core/FileNameCheck.h"

namespace travonix {

namespace {

// A .bas file: "'", "'" and its path, an empty line, then the text. The
// clipboard gets the same without the empty line and the last line end.
OutputFile basFile(const std::string& name, const std::string& text,
                   const ConversionSettings& settings, std::string_view separator) {
    OutputFile file;
    file.name = name + ".bas";
    file.path = settings.outputFolder + std::string(separator) + file.name;
    file.bytes = "'\r\n'" + file.path + "\r\n\r\n" + text + "\r\n";
    file.clipboard = "'\r\n'" + file.path + "\r\n" + text;
    file.refusal = fileNameProblem(name, ".bas");
    return file;
}

std::string mergedText(const GeneratedBlocks& blocks, const ConversionPlan& plan) {
    std::string text = blocks.blockTexts[0];
    for (std::size_t i = 1; i < plan.rows.size(); ++i)
        text += "\r\n'" + plan.rows[i].name + "\r\n" + blocks.blockTexts[i];
    return text;
}

std::string singleFileText(const GeneratedBlocks& blocks) {
    std::string text;
    for (const std::string& block : blocks.blockTexts)
        text += block + "\r\n\r\n";
    return text;
}

// The name of the first file and of the completion messages: the merged
// CFunction's name in merge mode.
const std::string& firstName(const ConversionPlan& plan, const ConversionSettings& settings) {
    return settings.mode == OutputMode::Merged ? settings.mergedName : plan.rows[0].name;
}

// The last check before a file is written: the path is the output folder,
// one separator and a plain file name, so nothing lands outside the folder.
bool isInsideOutputFolder(std::string_view path, const std::string& folder,
                          std::string_view separator) {
    const std::string prefix = folder + std::string(separator);
    if (!path.starts_with(prefix))
        return false;
    const std::string_view fileName = path.substr(prefix.size());
    return !fileName.empty() && fileName != "." && fileName != ".." &&
           fileName.find_first_of("/\\") == std::string_view::npos &&
           fileName.find('\0') == std::string_view::npos;
}

Diagnostic writeFailure(std::string_view shownPath, std::string_view reason) {
    std::string text = "Cannot write " + printableName(shownPath) + ": ";
    text += reason;
    // One line, whatever the platform's reason holds.
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    Diagnostic d = error(std::move(text));
    d.file = std::string(shownPath);
    return d;
}

} // namespace

std::vector<OutputFile> basFiles(const GeneratedBlocks& blocks, const ConversionPlan& plan,
                                 const ConversionSettings& settings, std::string_view separator) {
    std::vector<OutputFile> files;
    if (plan.rows.empty() || blocks.abandoned)
        return files;
    switch (settings.mode) {
    case OutputMode::Merged:
        files.push_back(
            basFile(firstName(plan, settings), mergedText(blocks, plan), settings, separator));
        break;
    case OutputMode::SingleFile:
        files.push_back(basFile(plan.rows[0].name, singleFileText(blocks), settings, separator));
        break;
    case OutputMode::IndividualFiles:
        for (std::size_t i = 0; i < plan.rows.size(); ++i)
            files.push_back(basFile(plan.rows[i].name, blocks.blockTexts[i], settings, separator));
        break;
    }
    return files;
}

OutputFile listingCopyFile(const GeneratedBlocks& blocks, const ConversionSettings& settings,
                           std::string_view separator) {
    OutputFile file;
    file.name = "DisAsm.txt";
    file.path = settings.outputFolder + std::string(separator) + file.name;
    file.bytes = blocks.listingCopy + "\r\n";
    return file;
}

std::string completionMessage(const ConversionPlan& plan, const ConversionSettings& settings,
                              const std::vector<std::string>& writtenNames) {
    if (writtenNames.empty() || plan.rows.empty())
        return {};
    switch (settings.mode) {
    case OutputMode::Merged:
        return firstName(plan, settings) + ".bas\r\n\r\n file written to disk";
    case OutputMode::SingleFile:
        return plan.rows[0].name + ".bas file written to disk - containing " +
               std::to_string(plan.rows.size()) + " individual functions";
    case OutputMode::IndividualFiles:
        break;
    }
    std::string message;
    for (const std::string& name : writtenNames)
        message += " " + name + "\r\n";
    return message + "\r\n file(s) written to disk";
}

WriteReport writeFiles(const std::vector<OutputFile>& files, const std::string& outputFolder,
                       std::string_view separator, FileWriter& writer) {
    WriteReport report;
    for (const OutputFile& file : files) {
        if (file.refusal) {
            report.diagnostics.push_back(writeFailure(file.name, *file.refusal));
            continue;
        }
        if (!isInsideOutputFolder(file.path, outputFolder, separator)) {
            report.diagnostics.push_back(
                writeFailure(file.path, "the file would lie outside the output folder"));
            continue;
        }
        const std::string reason = writer.writeWhole(file.path, file.bytes);
        if (!reason.empty()) {
            report.diagnostics.push_back(writeFailure(file.path, reason));
            continue;
        }
        report.writtenNames.push_back(file.name);
        report.writtenPaths.push_back(file.path);
        if (!file.clipboard.empty())
            report.clipboard = file.clipboard;
    }
    return report;
}

} // namespace travonix
