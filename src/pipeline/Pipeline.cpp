#include "pipeline/Pipeline.h"

#include "check/ConversionCheck.h"
#include "core/JumpRewriter.h"
#include "core/TextBehind.h"

#include <algorithm>
#include <future>
#include <system_error>

namespace travonix {

namespace {

// Runs `work` on another thread when one is to be had, else here and now.
template <typename Work> std::future<void> beside(Work work) {
    try {
        return std::async(std::launch::async, std::move(work));
    } catch (const std::system_error&) {
        work();
        return {};
    }
}

// The files of a built run written; only the clipboard's file keeps its text.
void writeRun(GeneratedBlocks& blocks, const ConversionPlan& plan, const ConversionRequest& request,
              FileWriter& writer, ConversionResult& result) {
    const ConversionSettings& settings = request.settings;
    std::vector<OutputFile> files = basFiles(blocks, plan, settings, request.separator);
    result.written = writeFiles(files, settings.outputFolder, request.separator, writer,
                                request.cancel.get(), request.onFileWritten);
    if (result.written.cancelled)
        result.outcome = ConversionResult::Outcome::Cancelled;
    if (result.written.clipboardFile && request.keepClipboardText)
        result.clipboardFile = std::move(files[*result.written.clipboardFile]);
    files.clear();
    if (settings.keepListingCopy)
        result.listingCopy = std::move(blocks.listingCopy);
    result.completion = completionMessage(plan, settings, result.written.writtenNames);
}

// The check reads the listing as linked; a re-laid block no longer has the
// problems the re-laying solved, and what it left says why.
void applyRelay(const RelayReport& report, std::vector<check::Finding>& findings) {
    if (!report.relaid)
        return;
    std::erase_if(findings, [&report](const check::Finding& f) {
        const bool movable = f.kind == check::FindingKind::AbsoluteAddress ||
                             f.kind == check::FindingKind::IndirectJump;
        return movable && std::binary_search(report.fixed.begin(), report.fixed.end(), f.address);
    });
    for (check::Finding& f : findings)
        for (const relay::LeftAsIs& left : report.left)
            if (left.address == f.address) {
                f.detail += " (--position-independent leaves it as it is: " + left.reason + ")";
                break;
            }
}

bool cancelled(const ConversionRequest& request) {
    return request.cancel && request.cancel->requested();
}

bool relays(const ConversionSettings& settings) {
    return settings.positionIndependent && settings.mode == OutputMode::Merged;
}

} // namespace

std::string relayReportText(const RelayReport& report) {
    if (!report.relaid)
        return "--position-independent: the merged block stays as built: " + report.refusal;
    return "--position-independent: " + std::to_string(report.wordsBefore) + " words before, " +
           std::to_string(report.wordsAfter) + " after re-laying";
}

LoadedListing loadListing(ListingText fileText, const ReadOptions& options) {
    return loadListing(readListing(std::move(fileText), options));
}

LoadedListing loadListing(ReadResult read) {
    LoadedListing loaded;
    loaded.listing = std::move(read.listing);
    loaded.functions = std::move(read.functions);
    loaded.diagnostics = std::move(read.diagnostics);
    // The rewriting only adds lines of its own; the file's text it reads the
    // image from stays as it is.
    const std::string_view text = loaded.listing.fileText();
    std::future<void> image =
        beside([&loaded, text] { loaded.image = check::ImageExtent::fromListing(text); });
    JumpReport jumps = rewriteJumps(loaded.listing);
    if (image.valid())
        image.get();
    for (Diagnostic& d : jumps.diagnostics)
        loaded.diagnostics.push_back(std::move(d));
    return loaded;
}

ConversionPlan planRun(const LoadedListing& loaded, const std::vector<FunctionEntry>& functions,
                       const ConversionSettings& settings) {
    return planConversion(loaded.listing, functions, settings);
}

std::vector<JalrLine> jalrQuestionsOf(const LoadedListing& loaded, const ConversionPlan& plan) {
    return jalrLinesOf(loaded.listing, plan);
}

ConversionResult convert(const LoadedListing& loaded, const ConversionPlan& plan,
                         const ConversionRequest& request, const JalrQuestion& continueAfterJalr,
                         FileWriter& writer) {
    ConversionResult result;
    // The check and the build each go through the listing once; behind both,
    // a mapped listing's text may leave memory.
    TextBehind behind(loaded.listing, request.checkOnly ? 1 : 2);
    check::ConversionCheckRun checkRun(loaded.listing, plan, request.settings, &loaded.image,
                                       behind.readerAt(0));
    if (request.checkOnly) {
        checkRun.help();
        result.findings = checkRun.findings();
        if (relays(request.settings)) {
            // Built only to learn what re-laying fixes: nothing is written or asked.
            const GeneratedBlocks blocks = buildBlocks(
                loaded.listing, plan, request.settings, request.stamp,
                [](const JalrLine&) { return true; }, false);
            result.relay = blocks.relay;
            if (result.relay)
                applyRelay(*result.relay, result.findings);
        }
        result.outcome = ConversionResult::Outcome::CheckedOnly;
        return result;
    }
    // The check reads only the listing and the plan, as the build does: it
    // runs beside the build, and this thread helps it once the build is done.
    std::future<void> helper = beside([&checkRun] { checkRun.help(); });
    GeneratedBlocks blocks = buildBlocks(loaded.listing, plan, request.settings, request.stamp,
                                         continueAfterJalr, request.showSource, behind.readerAt(1));
    result.generatedSource = std::move(blocks.generatedSource);
    result.wordCount = blocks.wordCount;
    result.relay = blocks.relay;
    // A strict run writes only when the check found nothing: it waits for
    // the check first. Otherwise the files are written while it goes on.
    const bool writeNow = !blocks.abandoned && !request.strict && !cancelled(request);
    if (writeNow)
        writeRun(blocks, plan, request, writer, result);
    checkRun.help();
    if (helper.valid())
        helper.get();
    if (blocks.abandoned) {
        result.outcome = ConversionResult::Outcome::Abandoned;
        return result;
    }
    result.findings = checkRun.findings();
    if (result.relay)
        applyRelay(*result.relay, result.findings);
    if (request.strict && !result.findings.empty()) {
        result.outcome = ConversionResult::Outcome::Refused;
        return result;
    }
    if (cancelled(request) && !writeNow) {
        result.outcome = ConversionResult::Outcome::Cancelled;
        result.written.cancelled = true;
        result.written.diagnostics.push_back(cancelledWarning(0, 0));
        return result;
    }
    if (!writeNow)
        writeRun(blocks, plan, request, writer, result);
    return result;
}

WriteReport writeListingCopy(const ConversionResult& result, const ConversionRequest& request,
                             FileWriter& writer) {
    const ConversionSettings& settings = request.settings;
    if (!settings.keepListingCopy || result.outcome != ConversionResult::Outcome::Written)
        return {};
    GeneratedBlocks copy;
    copy.listingCopy = result.listingCopy;
    return writeFiles({listingCopyFile(copy, settings, request.separator)}, settings.outputFolder,
                      request.separator, writer);
}

} // namespace travonix
