// Where the window looks for its help document: beside the program first,
// then the documentation folder an install puts it in.

#include "platform/HelpLocation.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

TEST(HelpLocation, BesideTheProgramThenTheInstalledDocumentationFolder) {
    struct Case {
        const char* name;
        bool besideProgram;
        bool inDocFolder;
        const char* found; // relative to the prefix; "" for none
    };
    const Case cases[] = {
        {"build folder", true, false, "bin/help.pdf"},
        {"installed", false, true, "share/doc/travonix/help.pdf"},
        {"both: the program's own first", true, true, "bin/help.pdf"},
        {"neither", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir prefix;
        std::filesystem::create_directories(prefix.file("bin"));
        std::filesystem::create_directories(prefix.file("share/doc/travonix"));
        if (c.besideProgram)
            std::ofstream(prefix.file("bin/help.pdf")) << "%PDF-";
        if (c.inDocFolder)
            std::ofstream(prefix.file("share/doc/travonix/help.pdf")) << "%PDF-";
        const std::optional<std::string> found = findHelpDocument(prefix.file("bin"));
        if (*c.found == '\0')
            EXPECT_EQ(found, std::nullopt);
        else
            EXPECT_EQ(found, prefix.file(c.found));
    }
}

TEST(HelpLocation, TheTwoPlacesAreNamedEvenWhenNeitherHoldsIt) {
    TempDir prefix;
    std::filesystem::create_directories(prefix.file("bin"));
    // A folder of that name is not the document.
    std::filesystem::create_directories(prefix.file("share/doc/travonix/help.pdf"));
    const std::vector<std::string> places = helpDocumentPlaces(prefix.file("bin"));
    const std::vector<std::string> expected{prefix.file("bin/help.pdf"),
                                            prefix.file("share/doc/travonix/help.pdf")};
    EXPECT_EQ(places, expected);
    EXPECT_EQ(findHelpDocument(prefix.file("bin")), std::nullopt);
}

} // namespace
} // namespace travonix::test
