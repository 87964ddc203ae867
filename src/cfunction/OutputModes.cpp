#include "cfunction/OutputModes.h"

#include "cfunction/MakeCommand.h"
#include "listing/TextRules.h"

namespace travonix {

namespace {

constexpr std::size_t kEntryWordLength = 8;
constexpr int kEntryWordDigits = 8;

std::string mergedText(const GenerationRun& run) {
    std::string text = run.rows[0].blockText;
    for (std::size_t i = 1; i < run.rows.size(); ++i)
        text += "\r\n'" + run.rows[i].name + "\r\n" + run.rows[i].blockText;
    return text;
}

std::string singleFileText(const GenerationRun& run) {
    std::string text;
    for (const SelectedFunction& row : run.rows)
        text += row.blockText + "\r\n\r\n";
    return text;
}

std::string writeMerged(Form& form, const GenerationRun& run) {
    const std::string mergedName(trimBlanks(form.state.txtCFunctionName));
    const std::string fileName = mergedName.empty() ? run.rows[0].name : mergedName;
    if (!WriteBasFile(form, fileName, mergedText(run)))
        return {};
    return run.rows[0].name + ".bas\r\n\r\n file written to disk";
}

std::string writeSingle(Form& form, const GenerationRun& run) {
    if (!WriteBasFile(form, run.rows[0].name, singleFileText(run)))
        return {};
    return run.rows[0].name + ".bas file written to disk - containing " +
           std::to_string(run.rows.size()) + " individual functions";
}

std::string writeIndividual(Form& form, const GenerationRun& run) {
    std::string written;
    for (const SelectedFunction& row : run.rows) {
        if (WriteBasFile(form, row.name, row.blockText))
            written += " " + row.name + ".bas\r\n";
    }
    if (written.empty())
        return {};
    return written + "\r\n file(s) written to disk";
}

} // namespace

void writeEntryOffset(GenerationRun& run) {
    if (run.rows.empty())
        return;
    std::string& head = run.rows[0].blockText;
    const std::size_t at = run.headLength + 1; // after the TAB that opens the entry line
    if (head.size() < at + kEntryWordLength)
        return; // the first function was not in the listing: there is no head
    head.replace(at, kEntryWordLength,
                 hexUpperPadded(static_cast<std::uint32_t>(run.entryOffset), kEntryWordDigits));
}

std::string writeBasFilesByMode(Form& form, GenerationRun& run) {
    if (run.rows.empty())
        return {};
    if (run.merge)
        return writeMerged(form, run);
    if (form.options.SinglePluginFile)
        return writeSingle(form, run);
    return writeIndividual(form, run);
}

} // namespace travonix
