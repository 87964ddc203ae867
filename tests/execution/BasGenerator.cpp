#include "execution/BasGenerator.h"

#include "core/JumpRewriter.h"
#include "core/ListingReader.h"
#include "support/FakeEnvironment.h"

#include <stdexcept>
#include <utility>

namespace travonix::execution {
namespace {

const std::string kOutputFolder = "C:\\out";

ConversionSettings settingsFor(OutputMode mode) {
    ConversionSettings settings;
    settings.mode = mode;
    settings.outputFolder = kOutputFolder;
    settings.includeMain = true;
    settings.selectAll = true;
    if (mode == OutputMode::Merged)
        settings.mergedName = kMergedName;
    return settings;
}

void append(Diagnostics& to, const Diagnostics& from) {
    to.insert(to.end(), from.begin(), from.end());
}

std::string firstErrorOf(const Diagnostics& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        if (d.kind == Diagnostic::Kind::Error)
            return d.text;
    return "no error reported";
}

// The .bas files written into the output folder, by name without ".bas".
std::map<std::string, std::string> basFilesIn(const test::FakeEnvironment& env) {
    const std::string prefix = kOutputFolder + env.separator;
    const std::string suffix = ".bas";
    std::map<std::string, std::string> files;
    for (const auto& [path, text] : env.files) {
        if (path.starts_with(prefix) && path.ends_with(suffix) &&
            path.size() > prefix.size() + suffix.size())
            files[path.substr(prefix.size(), path.size() - prefix.size() - suffix.size())] = text;
    }
    return files;
}

} // namespace

const char* modeName(OutputMode mode) {
    switch (mode) {
    case OutputMode::IndividualFiles:
        return "individual";
    case OutputMode::SingleFile:
        return "single";
    case OutputMode::Merged:
        return "merge";
    }
    return "?";
}

GeneratedBas generateBas(const std::string& disText, OutputMode mode, bool rewriteJumps,
                         bool positionIndependent) {
    ConversionSettings settings = settingsFor(mode);
    settings.positionIndependent = positionIndependent;
    GeneratedBas output;

    ReadResult read =
        readListing(disText, {settings.includeMain, settings.selectAll, settings.fullReading});
    append(output.diagnostics, read.diagnostics);
    if (rewriteJumps)
        append(output.diagnostics, travonix::rewriteJumps(read.listing).diagnostics);

    const ConversionPlan plan = planConversion(read.listing, read.functions, settings);
    append(output.diagnostics, plan.diagnostics);
    if (plan.status != ConversionPlan::Status::Ready)
        throw std::runtime_error("the conversion was not planned: " +
                                 firstErrorOf(plan.diagnostics));

    test::FakeEnvironment env;
    const Stamp stamp{env.now(), env.userName()};
    GeneratedBlocks blocks =
        buildBlocks(read.listing, plan, settings, stamp, [&output](const JalrLine& line) {
            output.jalrQuestions.push_back(line);
            return true;
        });
    if (blocks.abandoned)
        throw std::runtime_error("the conversion was abandoned");
    output.relay = blocks.relay;
    // Each block's first view line is its name; lines starting "'" name a routine.
    bool nameLine = true;
    for (std::string_view line : blocks.generatedSource) {
        if (line.empty()) {
            nameLine = true;
            continue;
        }
        if (std::exchange(nameLine, false) || line.front() == '\'')
            continue;
        for (std::size_t at = 0; at + 8 <= line.size(); at += 9)
            output.shownWords.push_back(static_cast<std::uint32_t>(
                std::stoul(std::string(line.substr(at, 8)), nullptr, 16)));
    }

    const std::string separator = env.pathSeparator();
    const WriteReport written = writeFiles(basFiles(blocks, plan, settings, separator),
                                           settings.outputFolder, separator, env);
    append(output.diagnostics, written.diagnostics);
    if (hasError(written.diagnostics) || written.writtenNames.empty())
        throw std::runtime_error("the .bas files were not written: " +
                                 firstErrorOf(written.diagnostics));
    output.files = basFilesIn(env);
    return output;
}

} // namespace travonix::execution
