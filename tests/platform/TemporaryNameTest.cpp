#include "platform/TemporaryName.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace travonix {
namespace {

// Only the writer's own names: a folder is cleared of files by this test alone.
TEST(TemporaryName, IsRecognisedExactly) {
    struct Case {
        const char* name;
        bool temporary;
    };
    const Case cases[] = {
        {".travonix-0123abcd.tmp", true},      {".travonix-00000000.tmp", true},
        {".travonix-ffffffff.tmp", true},      {".travonix-0123ABCD.tmp", false},
        {".travonix-0123abcg.tmp", false},     {".travonix-0123abc.tmp", false},
        {".travonix-0123abcde.tmp", false},    {".travonix-0123abcd.TMP", false},
        {".travonix-0123abcd.tmp.bak", false}, {"x.travonix-0123abcd.tmp", false},
        {"travonix-0123abcd.tmpx", false},     {".travonix_0123abcd.tmp", false},
        {".travonix-0123abcd-tmp", false},     {"", false},
    };
    for (const Case& c : cases) {
        const std::string narrow = c.name;
        EXPECT_EQ(isTemporaryName(narrow), c.temporary) << c.name;
        EXPECT_EQ(isTemporaryName(std::wstring(narrow.begin(), narrow.end())), c.temporary)
            << c.name;
    }
    // A wide character whose low byte is a digit is no digit.
    EXPECT_FALSE(isTemporaryName(std::wstring(L".travonix-0123abc\u0130.tmp")));
}

TEST(TemporaryName, EachNewNameIsATemporaryNameOfItsOwn) {
    std::set<std::string> names;
    for (int k = 0; k < 1000; ++k) {
        const std::string name = newTemporaryName();
        EXPECT_TRUE(isTemporaryName(name)) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 1000U);
}

} // namespace
} // namespace travonix
