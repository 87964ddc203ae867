#include "core/Conversion.h"
#include "core/Messages.h"

#include "core/FileNameCheck.h"

namespace travonix {

namespace {

// A .bas file: "'", "'" and its path, an empty line, then the text (the
// blocks `first` to `last` of the run, joined as the mode wants), then a line end.
template <typename Join>
OutputFile basFile(const std::string& name, GeneratedBlocks& blocks, std::size_t first,
                   std::size_t last, const ConversionSettings& settings, std::string_view separator,
                   Join join) {
    OutputFile file;
    file.name = name + ".bas";
    file.path = settings.outputFolder + std::string(separator) + file.name;
    file.parts.reserve(2 * (last - first) + 2);
    file.parts.push_back("'\r\n'" + file.path + "\r\n\r\n");
    for (std::size_t i = first; i < last; ++i) {
        std::string between;
        join(between, i);
        if (!between.empty())
            file.parts.push_back(std::move(between));
        file.parts.push_back(std::move(blocks.blockTexts[i])); // held once, in the file
    }
    std::string end;
    if (last - first > 0)
        join.finish(end);
    end += "\r\n";
    file.parts.push_back(std::move(end));
    file.toClipboard = true;
    file.refusal = fileNameProblem(name, ".bas");
    return file;
}

// Single file: every block followed by an empty line.
struct SingleFileJoin {
    bool started = false;
    void operator()(std::string& text, std::size_t) {
        if (started)
            text += "\r\n\r\n";
        started = true;
    }
    void finish(std::string& text) const { text += "\r\n\r\n"; }
};

// One block alone (in merge mode, the merged block).
struct NoJoin {
    void operator()(std::string&, std::size_t) const {}
    void finish(std::string&) const {}
};

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

Diagnostic writeFailure(DiagnosticCode code, std::string_view shownPath, std::string_view reason) {
    Diagnostic d = error(code, cannotWriteText(shownPath, reason));
    d.file = std::string(shownPath);
    return d;
}

} // namespace

std::vector<OutputFile> basFiles(GeneratedBlocks& blocks, const ConversionPlan& plan,
                                 const ConversionSettings& settings, std::string_view separator) {
    std::vector<OutputFile> files;
    if (plan.rows.empty() || blocks.abandoned)
        return files;
    const std::size_t count = plan.rows.size();
    switch (settings.mode) {
    case OutputMode::Merged:
        files.push_back(basFile(firstName(plan, settings), blocks, 0, blocks.blockTexts.size(),
                                settings, separator, NoJoin{}));
        break;
    case OutputMode::SingleFile:
        files.push_back(
            basFile(plan.rows[0].name, blocks, 0, count, settings, separator, SingleFileJoin{}));
        break;
    case OutputMode::IndividualFiles:
        files.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            files.push_back(
                basFile(plan.rows[i].name, blocks, i, i + 1, settings, separator, NoJoin{}));
        break;
    }
    return files;
}

std::string OutputFile::bytes() const {
    std::size_t size = 0;
    for (const std::string& part : parts)
        size += part.size();
    std::string text;
    text.reserve(size);
    for (const std::string& part : parts)
        text += part;
    return text;
}

std::vector<std::string_view> clipboardParts(const OutputFile& file) {
    std::vector<std::string_view> parts(file.parts.begin(), file.parts.end());
    if (parts.empty())
        return parts;
    // The head is "'", CR LF, "'", the path, CR LF, and the empty line's CR LF.
    if (parts.front().ends_with("\r\n\r\n"))
        parts.front().remove_suffix(2);
    // The file ends with a line end the clipboard does not get.
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        if (it->empty())
            continue;
        if (it->ends_with("\r\n"))
            it->remove_suffix(2);
        break;
    }
    return parts;
}

OutputFile listingCopyFile(const GeneratedBlocks& blocks, const ConversionSettings& settings,
                           std::string_view separator) {
    OutputFile file;
    file.name = "DisAsm.txt";
    file.path = settings.outputFolder + std::string(separator) + file.name;
    file.parts = {blocks.listingCopy, "\r\n"};
    return file;
}

std::string completionMessage(const ConversionPlan& plan, const ConversionSettings& settings,
                              const std::vector<std::string>& writtenNames) {
    if (writtenNames.empty() || plan.rows.empty())
        return {};
    return completionText(settings.mode, firstName(plan, settings), plan.rows.size(), writtenNames);
}

Diagnostic cancelledWarning(std::size_t written, std::size_t total) {
    return warning(DiagnosticCode::RunCancelled, cancelledText(written, total));
}

WriteReport writeFiles(const std::vector<OutputFile>& files, const std::string& outputFolder,
                       std::string_view separator, FileWriter& writer, const CancelFlag* cancel,
                       const FileProgress& progress) {
    WriteReport report;
    for (const OutputFile& file : files) {
        if (progress && &file != files.data())
            progress(static_cast<std::size_t>(&file - files.data()), files.size());
        if (cancel != nullptr && cancel->requested()) {
            report.cancelled = true;
            report.diagnostics.push_back(
                cancelledWarning(report.writtenNames.size(), files.size()));
            break;
        }
        if (file.refusal) {
            report.diagnostics.push_back(
                writeFailure(DiagnosticCode::BadName, file.name, *file.refusal));
            continue;
        }
        if (!isInsideOutputFolder(file.path, outputFolder, separator)) {
            report.diagnostics.push_back(
                writeFailure(DiagnosticCode::OutsideOutputFolder, file.path,
                             "the file would lie outside the output folder"));
            continue;
        }
        if (const Outcome failed = writer.writeWhole(file.path, file.parts)) {
            report.diagnostics.push_back(
                writeFailure(DiagnosticCode::FileNotWritten, file.path, failed->reason));
            continue;
        }
        report.writtenNames.push_back(file.name);
        report.writtenPaths.push_back(file.path);
        if (file.toClipboard)
            report.clipboardFile = static_cast<std::size_t>(&file - files.data());
    }
    if (progress && !files.empty() && !report.cancelled)
        progress(files.size(), files.size());
    return report;
}

} // namespace travonix
