#include "core/FileNameCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace travonix::test {
namespace {

TEST(FileNameCheck, RefusesNamesThatLeaveTheFolderOrThatAPlatformChanges) {
    const std::string longest(kMaxFileNameLength - 4, 'a');
    struct Case {
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {"my_func", false},
        {"caf\xe9", false},       // not UTF-8: kept as its bytes
        {"\xce\xbb_step", false}, // UTF-8
        {".rodata", false},       // a section label is a plain name
        {"a.b", false},
        {"CONSOLE", false}, // only the device name itself
        {"COM0", false},
        {longest, false},
        {longest + "a", true},
        {"", true},
        {".", true},
        {"..", true},
        {"../../escaped", true},
        {"sub/x", true},
        {"sub\\x", true},
        {std::string("victim.sh\0x", 11), true},
        {"tab\there", true},
        {"bell\x07", true},
        {"del\x7f", true},
        {"a<b", true},
        {"a>b", true},
        {"set:x", true},
        {"say\"hi\"", true},
        {"a|b", true},
        {"what?", true},
        {"all*", true},
        {"ends.", true},
        {"ends ", true},
        {"CON", true},
        {"con", true},
        {"Nul.txt", true},
        {"PRN", true},
        {"AUX.c", true},
        {"COM1", true},
        {"com9.x.y", true},
        {"LPT1", true},
        {"lpt9", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileNameProblem(c.name, ".bas").has_value(), c.refused) << printableName(c.name);
}

TEST(FileNameCheck, PrintableNameEscapesControlAndNonUtf8Bytes) {
    EXPECT_EQ(printableName("plain_name"), "plain_name");
    EXPECT_EQ(printableName("a\tb\r\n"), "a\\x09b\\x0D\\x0A");
    EXPECT_EQ(printableName("caf\xe9"), "caf\\xE9");
    EXPECT_EQ(printableName("\xce\xbb"), "\xce\xbb");
    EXPECT_EQ(printableName(std::string("x\0y", 3)), "x\\x00y");
}

} // namespace
} // namespace travonix::test
