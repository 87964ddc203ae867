#pragma once

#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "core/Cancel.h"
#include "core/Conversion.h"
#include "core/ListingReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace travonix {

// The one way from a listing's text to written .bas files. travonix-cli and
// the window call these and no step below them: reading, rewriting, planning,
// building, checking, laying out and writing happen here, in one order, so the
// two drivers cannot drift apart.

// A listing read once and its jumps rewritten: what every later run converts.
struct LoadedListing {
    Listing listing;
    std::vector<FunctionEntry> functions; // in listing order, selected as read
    Diagnostics diagnostics;              // the read's, then the rewriting's
    // Where the linked program lies, read from the same text beside the
    // rewriting; the relocation check measures addresses against it.
    check::ImageExtent image;
};

// A listing already read, such as one a ListingFeed read while it arrived.
[[nodiscard]] LoadedListing loadListing(ReadResult read);
// The text is owned, or a mapped file that the listing keeps mapped.
[[nodiscard]] LoadedListing loadListing(ListingText fileText, const ReadOptions& options);
[[nodiscard]] inline LoadedListing loadListing(std::string fileText, const ReadOptions& options) {
    return loadListing(ListingText(std::move(fileText)), options);
}

// What to do with a loaded listing's selected functions.
struct ConversionRequest {
    ConversionSettings settings;
    Stamp stamp;            // the blocks' comment stamp
    std::string separator;  // joins the output folder and a file name
    bool checkOnly = false; // find what will not run; build and write nothing
    bool strict = false;    // a run with any finding writes nothing
    // Looked at once the blocks are built and before each file: a run
    // cancelled before its first file leaves every file as it was; later,
    // each file is either old or new and the report says how many are new.
    std::shared_ptr<const CancelFlag> cancel = nullptr;
    // The generated source for a view; the command line shows none.
    bool showSource = true;
    // The last .bas file's text kept for a clipboard; a driver without one
    // (the command line) lets a merged block's megabytes go once written.
    bool keepClipboardText = true;
    // Told as the files are written (a run of thousands takes seconds).
    FileProgress onFileWritten = {};
};

// Plans a run: the output folder, the merged name and the selection checked,
// and each selected function found again (see planConversion).
[[nodiscard]] ConversionPlan planRun(const LoadedListing& loaded,
                                     const std::vector<FunctionEntry>& functions,
                                     const ConversionSettings& settings);

// The jalr lines of a planned run, in the order its build meets them: a
// driver that asks the user does so before the run, off no worker thread.
[[nodiscard]] std::vector<JalrLine> jalrQuestionsOf(const LoadedListing& loaded,
                                                    const ConversionPlan& plan);

// What a run did, everything a driver shows.
struct ConversionResult {
    enum class Outcome {
        Written,     // built and written (each file's fate in `written`)
        CheckedOnly, // checkOnly: the findings, nothing built
        Abandoned,   // declined at a jalr question: nothing written
        Refused,     // strict, and the check found something: nothing written
        Cancelled,   // stopped on request: `written` says which files are new
    };
    Outcome outcome = Outcome::Written;
    // The findings of the blocks the files get, in block, routine and line
    // order, then the name clashes.
    std::vector<check::Finding> findings;
    TextLines generatedSource;
    std::int64_t wordCount = 0;
    WriteReport written;
    // The last written .bas file (what the clipboard takes), when there is one.
    std::optional<OutputFile> clipboardFile;
    // The converted functions' lines for "DisAsm.txt", when the settings keep
    // a copy of the listing: written by writeListingCopy once the driver has
    // shown the run's completion.
    std::string listingCopy;
    std::string completion; // names only the files written; "" when none was
    // Merge mode with positionIndependent: what re-laying the block did.
    std::optional<RelayReport> relay;
};

// The cost of re-laying, or why the block stayed as built, in one sentence.
[[nodiscard]] std::string relayReportText(const RelayReport& report);

// Runs a ready plan: builds the blocks while the relocation check runs beside
// it on another thread, then lays out and writes the .bas files.
// `continueAfterJalr` answers each jalr question as the build meets it.
[[nodiscard]] ConversionResult convert(const LoadedListing& loaded, const ConversionPlan& plan,
                                       const ConversionRequest& request,
                                       const JalrQuestion& continueAfterJalr, FileWriter& writer);

// Writes "DisAsm.txt" of a written run whose settings keep the listing's
// copy; nothing (an empty report) otherwise.
[[nodiscard]] WriteReport writeListingCopy(const ConversionResult& result,
                                           const ConversionRequest& request, FileWriter& writer);

} // namespace travonix
