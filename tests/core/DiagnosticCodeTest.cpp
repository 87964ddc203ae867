// Each diagnostic names what it is and what it is about (the function, the
// listing line's address, the file), so that a caller can tell them apart
// without reading their words.

#include "core/Diagnostic.h"
#include "pipeline/Pipeline.h"
#include "support/FakeEnvironment.h"
#include "support/ListingText.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace travonix::test {
namespace {

// A .text section with `f` (whose third line is `middle`) and `g`; each
// function given by the caller's name.
std::string listingWith(std::string_view middle, std::string_view f = "f",
                        std::string_view g = "g") {
    const std::string fHeader = "9d000000 <" + std::string(f) + ">:";
    const std::string gHeader = "9d000014 <" + std::string(g) + ">:";
    return listingFile({"", "Disassembly of section .text:", "", fHeader,
                        "9d000000:\t27bdffe8 \taddiu\tsp,sp,-24", "9d000004:\t00000000 \tnop",
                        middle, "9d00000c:\t03e00008 \tjr\tra", "9d000010:\t00000000 \tnop", "",
                        gHeader, "9d000014:\t03e00008 \tjr\tra", "9d000018:\t00000000 \tnop", ""});
}

constexpr std::string_view kPlainLine = "9d000008:\t00851021 \taddu\tv0,a0,a1";

ConversionSettings settingsFor(OutputMode mode) {
    ConversionSettings settings;
    settings.mode = mode;
    settings.mergedName = mode == OutputMode::Merged ? "Blk" : "";
    settings.outputFolder = "out";
    return settings;
}

LoadedListing load(const std::string& text) {
    return loadListing(text, {false, true, false});
}

// What loading the listing said.
Diagnostics readingOf(const std::string& text) {
    return load(text).diagnostics;
}

// What planning a run of every function in `mode` said.
Diagnostics planningOf(const std::string& text, OutputMode mode) {
    const LoadedListing loaded = load(text);
    return planRun(loaded, loaded.functions, settingsFor(mode)).diagnostics;
}

Diagnostics mergedEntryOf(const std::string& text) {
    const LoadedListing loaded = load(text);
    const ConversionSettings settings = settingsFor(OutputMode::Merged);
    const auto entry = mergeEntryWarning(planRun(loaded, loaded.functions, settings), settings);
    return entry ? Diagnostics{*entry} : Diagnostics{};
}

// What writing a run's files said, with `unwritable` refused by the disk.
Diagnostics writingOf(const std::string& text, const std::string& unwritable = {}) {
    const LoadedListing loaded = load(text);
    const ConversionSettings settings = settingsFor(OutputMode::IndividualFiles);
    const ConversionPlan plan = planRun(loaded, loaded.functions, settings);
    FakeEnvironment env;
    env.unwritable.insert(unwritable);
    const ConversionRequest request{settings, Stamp{env.now(), env.userName()},
                                    env.pathSeparator()};
    return convert(
               loaded, plan, request, [](const JalrLine&) { return true; }, env)
        .written.diagnostics;
}

TEST(DiagnosticCode, EachDiagnosticNamesItsKindAndWhatItConcerns) {
    const struct {
        const char* what;
        std::function<Diagnostics()> run;
        Diagnostic::Kind kind;
        DiagnosticCode code;
        std::string function;
        std::optional<std::uint32_t> address;
        std::string file;
    } cases[] = {
        {"a nop shown as a jal",
         [] { return readingOf(listingWith("9d000008:\t00000000 \tjal\t9d000014 <g>")); },
         Diagnostic::Kind::Warning, DiagnosticCode::WordContradiction, "", 0x9d000008U, ""},
        {"a jal beyond a branch's reach",
         [] { return readingOf(listingWith("9d000008:\t0c000005 \tjal\t90000014")); },
         Diagnostic::Kind::Message, DiagnosticCode::JumpsUnconverted, "", std::nullopt, ""},
        {"a code line cut inside its word",
         [] { return planningOf(listingWith("9d000008:\t0"), OutputMode::IndividualFiles); },
         Diagnostic::Kind::Error, DiagnosticCode::MalformedLine, "f", 0x9d000008U, ""},
        {"two functions of one name in one file",
         [] {
             return planningOf(listingWith(kPlainLine, "twice", "twice"), OutputMode::SingleFile);
         },
         Diagnostic::Kind::Warning, DiagnosticCode::NameClash, "twice", std::nullopt, ""},
        {"two functions of one name in files of their own",
         [] {
             return planningOf(listingWith(kPlainLine, "twice", "twice"),
                               OutputMode::IndividualFiles);
         },
         Diagnostic::Kind::Warning, DiagnosticCode::NameClashRenamed, "twice", std::nullopt,
         "twice_2.bas"},
        {"a merged block without main", [] { return mergedEntryOf(listingWith(kPlainLine)); },
         Diagnostic::Kind::Warning, DiagnosticCode::MergeWithoutMain, "f", std::nullopt, ""},
        {"a function named as a Windows device",
         [] { return writingOf(listingWith(kPlainLine, "f", "CON")); }, Diagnostic::Kind::Error,
         DiagnosticCode::BadName, "", std::nullopt, "CON.bas"},
        {"a file the disk refuses", [] { return writingOf(listingWith(kPlainLine), "out\\g.bas"); },
         Diagnostic::Kind::Error, DiagnosticCode::FileNotWritten, "", std::nullopt, "out\\g.bas"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Diagnostics diagnostics = c.run();
        ASSERT_EQ(diagnostics.size(), 1U);
        const Diagnostic& d = diagnostics[0];
        EXPECT_EQ(d.kind, c.kind) << d.text;
        EXPECT_EQ(d.code, c.code) << d.text;
        EXPECT_EQ(d.function, c.function);
        EXPECT_EQ(d.address, c.address);
        EXPECT_EQ(d.file, c.file);
    }
}

} // namespace
} // namespace travonix::test
