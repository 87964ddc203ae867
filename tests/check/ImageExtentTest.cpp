// The image's extent as read from whole real listings, and the forms of
// objdump output that do not belong to it.
#include "check/ImageExtent.h"
#include "check/InstructionLine.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <ostream>

namespace travonix::check {
namespace {

std::string relocListing(const std::string& program) {
    return travonix::test::readWholeFile(travonix::test::fixturePath("reloc/" + program + ".dis"));
}

TEST(ImageExtent, HasEverySectionOfTheListingFromFirstToLastByte) {
    const ImageExtent image = ImageExtent::fromListing(relocListing("globals"));
    std::vector<std::string> got;
    for (const ImageSection& section : image.sections())
        got.push_back(section.name + " " + hexAddress(section.start) + ".." +
                      hexAddress(section.end));
    EXPECT_EQ(got,
              (std::vector<std::string>{".text 9d000000..9d000070", ".rodata 9d000070..9d000080",
                                        ".reginfo 9d000080..9d000098", ".data a0000000..a0000010",
                                        ".bss a0000010..a0000020"}));
}

struct Where {
    std::uint32_t address;
    const char* section; // "" outside the image
    const char* symbol;
};

void PrintTo(const Where& where, std::ostream* out) {
    *out << std::hex << where.address << " " << where.symbol;
}

class AddressInGlobals : public ::testing::TestWithParam<Where> {};

TEST_P(AddressInGlobals, LiesInItsSectionUnderItsSymbol) {
    static const ImageExtent image = ImageExtent::fromListing(relocListing("globals"));
    const Where& where = GetParam();
    const ImageSection* section = image.sectionAt(where.address);
    EXPECT_EQ(section == nullptr ? std::string() : section->name, where.section);
    EXPECT_EQ(image.symbolAt(where.address), where.symbol);
}

INSTANTIATE_TEST_SUITE_P(
    Globals, AddressInGlobals,
    ::testing::Values(
        Where{0x9d000000, ".text", "count_event"}, Where{0x9d000008, ".text", "count_event+0x8"},
        Where{0x9d00006c, ".text", "main+0x44"}, Where{0x9d000070, ".rodata", "event_count_ref"},
        Where{0xa000000c, ".data", "event_count+0xc"}, Where{0xa0000010, ".bss", "running_total"},
        Where{0xa000001f, ".bss", "running_total+0xf"},
        // Just past the image, and what lies outside it on a PIC32.
        Where{0xa0000020, "", ""}, Where{0x9cfffffc, "", ""}, Where{0xbf886000, "", ""},
        Where{0xbfc00000, "", ""}, Where{0x00000000, "", ""}));

TEST(ImageExtent, TakesGpFromReginfoWhenTheProgramHasOne) {
    EXPECT_EQ(ImageExtent::fromListing(relocListing("smalldata")).gpValue(), 0xa0007ff0u);
    // Built with -G0 the value is 0: nothing is addressed through $gp.
    EXPECT_EQ(ImageExtent::fromListing(relocListing("globals")).gpValue(), 0u);
    EXPECT_EQ(ImageExtent::fromListing("").gpValue(), std::nullopt);
}

// Sections that are not loaded show at address 0 with objdump's short
// addresses; a section's last bytes can be a half word.
TEST(ImageExtent, LeavesOutSectionsAtZeroAndCountsAShortTail) {
    const std::string listing = "\r\n"
                                "x.elf:     file format elf32-tradlittlemips\r\n"
                                "\r\n"
                                "Disassembly of section .rodata:\r\n"
                                "\r\n"
                                "9d000100 <label>:\r\n"
                                "9d000100:\t6c6c6548 \t.word\t0x6c6c6548\r\n"
                                "9d000104:\t006f     \t.short\t0x006f\r\n"
                                "\r\n"
                                "Disassembly of section .comment:\r\n"
                                "\r\n"
                                "00000000 <.comment>:\r\n"
                                "   0:\t3a434347 \t.word\t0x3a434347\r\n"
                                "   4:\t65442820 \t.word\t0x65442820\r\n";
    const ImageExtent image = ImageExtent::fromListing(listing);
    ASSERT_EQ(image.sections().size(), 1u);
    EXPECT_EQ(image.sections()[0].name, ".rodata");
    EXPECT_EQ(image.sections()[0].end, 0x9d000106u);
    EXPECT_EQ(image.sectionAt(0x4), nullptr);
}

// A truncated listing can end in a section header with no name after the
// blank; it starts no section, and the section before keeps its lines.
TEST(ImageExtent, ASectionHeaderWithoutANameStartsNoSection) {
    const std::string listing = "Disassembly of section .text:\r\n"
                                "\r\n"
                                "9d000000 <f>:\r\n"
                                "9d000000:\t03e00008 \tjr\tra\r\n"
                                "9d000004:\t00000000 \tnop\r\n"
                                "\r\n"
                                "Disassembly of section \r\n";
    const ImageExtent image = ImageExtent::fromListing(listing);
    ASSERT_EQ(image.sections().size(), 1u);
    EXPECT_EQ(image.sections()[0].name, ".text");
    EXPECT_EQ(image.sections()[0].end, 0x9d000008u);
    EXPECT_EQ(image.symbolAt(0x9d000004), "f+0x4");
}

} // namespace
} // namespace travonix::check
