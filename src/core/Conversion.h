#pragma once

#include "core/Cancel.h"
#include "core/CommentStamp.h"
#include "core/Diagnostic.h"
#include "core/FileWriter.h"
#include "core/Listing.h"
#include "core/Options.h"
#include "core/TextLines.h"
#include "core/relay/Relayer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace travonix {

// One block of a conversion: a selected function and where its header lies.
struct BlockRow {
    std::string name; // the name the block and its file carry (name_2 for a second "name")
    bool readOnlyData = false;
    std::size_t headerLine = 0; // its header line, which holds the name in the listing
};

// What a conversion will do, decided before anything is built or asked.
struct ConversionPlan {
    enum class Status {
        Ready,
        NoOutputFolder,  // nothing to write to
        NeedsMergedName, // merge mode without a name: ask for one
        NoSelection,     // no function selected
        Failed,          // a function could not be found again (see diagnostics)
    };
    Status status = Status::Ready;
    std::vector<BlockRow> rows;
    Diagnostics diagnostics;
};

// Checks the output folder, the merged name and the selection, and finds
// every selected function's own header line. Two functions of one name keep
// their own bodies; in one-file-per-function mode the later ones are named
// name_2, name_3 (reported as warnings); in single-file mode the clash is
// reported. A function whose header is no longer in the listing is an error
// by name; in merge mode it fails the plan, since every later call in the
// merged block would land in the wrong place.
[[nodiscard]] ConversionPlan planConversion(const Listing& listing,
                                            const std::vector<FunctionEntry>& functions,
                                            const ConversionSettings& settings);

// Merge mode: the entry word points at main, or, when main is not among the
// rows, at the first routine; that case is a warning naming the routine.
// std::nullopt in the other modes and when main is there.
[[nodiscard]] std::optional<Diagnostic> mergeEntryWarning(const ConversionPlan& plan,
                                                          const ConversionSettings& settings);

// The question both drivers ask at a jalr line, in the window's box and on
// the command line's stderr.
inline constexpr const char* kJalrQuestion = "Warning : JALR instruction found - have you set "
                                             "'-fPIC -mno-abicalls' in gcc options ?\r\nContinue ?";

// A body line holding a jalr: the user is asked before the conversion goes on.
struct JalrLine {
    std::string function;
    std::uint32_t address = 0;
};
// true: go on; false: abandon the run.
using JalrQuestion = std::function<bool(const JalrLine&)>;

// The jalr lines of the planned blocks' bodies, in the order a build meets
// them, so the questions can be asked before the build runs elsewhere.
[[nodiscard]] std::vector<JalrLine> jalrLinesOf(const Listing& listing, const ConversionPlan& plan);

// What re-laying the merged block did (see ConversionSettings::positionIndependent).
struct RelayReport {
    bool relaid = false;
    std::string refusal; // why the block stayed as built, when it did
    std::int64_t wordsBefore = 0;
    std::int64_t wordsAfter = 0;
    std::vector<std::uint32_t> fixed; // link addresses of the lines it made run (sorted)
    std::vector<relay::LeftAsIs> left;
};

// The blocks of a run, and everything shown about them.
struct GeneratedBlocks {
    // One per CFunction block: a plan row's each, in row order, or in merge
    // mode the one merged block, each routine after the first following a
    // line that names it.
    std::vector<std::string> blockTexts;
    TextLines generatedSource; // the view lines
    std::int64_t wordCount = 0;
    std::string listingCopy;          // the converted functions' lines, for "DisAsm.txt"
    bool abandoned = false;           // declined at a jalr question: nothing may be written
    std::optional<RelayReport> relay; // merge mode with positionIndependent
};

// Builds every row's block from the listing: comment stamp, "CFunction "
// line, entry word, the words eight to a line, "End CFunction"; in merge mode
// one block whose entry word holds the offset of main.
// Without `showSource` the generated-source view is left empty: a driver
// that never shows it (the command line) does not pay for it. `passed` is
// told, now and then, how far through the listing the build has come.
[[nodiscard]] GeneratedBlocks buildBlocks(const Listing& listing, const ConversionPlan& plan,
                                          const ConversionSettings& settings, const Stamp& stamp,
                                          const JalrQuestion& continueAfterJalr,
                                          bool showSource = true, LinesPassed passed = {});

// One file a conversion writes.
struct OutputFile {
    std::string name; // as the completion message names it ("blk.bas")
    std::string path; // folder, separator, name
    // What the file holds, in pieces: the blocks' texts are moved in, not
    // copied, so a large run holds its text once.
    std::vector<std::string> parts;
    bool toClipboard = false;           // a .bas file: its text goes to the clipboard
    std::optional<std::string> refusal; // why the name cannot be a file name

    // The whole text, joined (for a check, or a writer that takes one piece).
    [[nodiscard]] std::string bytes() const;
};

// The .bas files of a run by output mode (a name that cannot be a file name
// carries its refusal; the file is then not written). The blocks' texts are
// moved into the files.
[[nodiscard]] std::vector<OutputFile> basFiles(GeneratedBlocks& blocks, const ConversionPlan& plan,
                                               const ConversionSettings& settings,
                                               std::string_view separator);
// What the clipboard gets for a written .bas file: the file without its empty
// third line and its last line end, as views into the file's parts (a large
// merged file is not copied once more on its way to the clipboard).
[[nodiscard]] std::vector<std::string_view> clipboardParts(const OutputFile& file);
// "DisAsm.txt", the converted listing.
[[nodiscard]] OutputFile listingCopyFile(const GeneratedBlocks& blocks,
                                         const ConversionSettings& settings,
                                         std::string_view separator);

// The message after a run, naming only the files that were written; empty
// when none was.
[[nodiscard]] std::string completionMessage(const ConversionPlan& plan,
                                            const ConversionSettings& settings,
                                            const std::vector<std::string>& writtenNames);

// What writing a run's files did.
struct WriteReport {
    std::vector<std::string> writtenNames; // as OutputFile::name, in order
    std::vector<std::string> writtenPaths;
    std::optional<std::size_t> clipboardFile; // the last written .bas file, if any
    Diagnostics diagnostics;
    bool cancelled = false; // stopped before a file; the files after it are as they were
};

// The warning of a run cancelled after `written` of its `total` files.
[[nodiscard]] Diagnostic cancelledWarning(std::size_t written, std::size_t total);

// Told after each file of a run: how many of its files are done (written or
// refused) and how many there are.
using FileProgress = std::function<void(std::size_t done, std::size_t total)>;

// Writes each file that may be written, inside the output folder only; a
// file that cannot be written is reported with its reason and the others are
// still written.
// A request to cancel stops it before the next file.
WriteReport writeFiles(const std::vector<OutputFile>& files, const std::string& outputFolder,
                       std::string_view separator, FileWriter& writer,
                       const CancelFlag* cancel = nullptr, const FileProgress& progress = {});

} // namespace travonix
