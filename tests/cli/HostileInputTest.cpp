// Whatever a toolchain or a disk hands the tool, it ends with a defined exit
// code and a clear message, never a crash, and writes only whole files.

#include "CliProcess.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

const std::string kHead = "\r\nx.elf:     file format elf32-tradlittlemips\r\n\r\n\r\n"
                          "Disassembly of section .text:\r\n\r\n";

std::string function(const std::string& name, unsigned address, int words) {
    char line[64];
    std::snprintf(line, sizeof line, "%08x <%s>:\r\n", address, name.c_str());
    std::string text = line;
    for (int i = 0; i < words; ++i) {
        std::snprintf(line, sizeof line, "%08x:\t%08x \taddiu\tv0,v0,%d\r\n", address + 4 * i,
                      0x24420000u + i, i);
        text += line;
    }
    return text + "\r\n";
}

std::string withLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += end;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string manyFunctions(int count) {
    std::string text = kHead;
    for (int k = 0; k < count; ++k)
        text += function("f" + std::to_string(k), 0x9d000000u + 8u * k, 2);
    return text;
}

struct Input {
    const char* what;
    std::string listing;
    int exitCode;
    std::vector<std::string> files; // .bas files written
};

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(HostileInput, EveryInputEndsWithItsExitCodeAndWholeFiles) {
    const std::string plain = kHead + function("add", 0x9d000000, 3);
    const std::string longLine = kHead +
                                 "9d000000 <big>:\r\n9d000000:\t0f400000 \tjal\t9d000000 <" +
                                 std::string(1 << 20, 'x') + ">\r\n\r\n";
    const std::vector<Input> inputs = {
        {"empty file", "", 1, {}},
        {"binary garbage",
         std::string("\x7f"
                     "ELF\x01\x01\x01\0\0\xff\xfe",
                     12),
         1,
         {}},
        {"NUL bytes in a line",
         kHead + "9d000000 <n>:\r\n9d000000:\t24420001 \taddiu\tv0\0x\r\n\r\n",
         0,
         {"n.bas"}},
        {"invalid UTF-8 in operands",
         kHead + "9d000000 <u>:\r\n9d000000:\t24420001 \tx\t\xff\xfe\r\n",
         0,
         {"u.bas"}},
        {"a line of 1 MiB", longLine, 0, {"big.bas"}},
        {"no line end at all", "Disassembly of section .text:", 1, {}},
        {"no line end after the last line", plain.substr(0, plain.size() - 4), 0, {"add.bas"}},
        {"LF line ends", withLineEnds(plain, "\n"), 0, {"add.bas"}},
        {"CR line ends", withLineEnds(plain, "\r"), 0, {"add.bas"}},
        {"a gap marker first and last", "\t...\r\n" + plain + "\t...\r\n", 0, {"add.bas"}},
        {"a gap between far addresses",
         kHead + "9d000000 <far>:\r\n9d000000:\t24420001 \tx\r\n\t...\r\n"
                 "bfc00000:\t24420002 \tx\r\n\r\n",
         0,
         {"far.bas"}},
        {"addresses not hexadecimal or past 32 bits",
         kHead + "zz000000 <odd>:\r\nzz000000:\t24420001 \tx\r\n19d0000000:\t24420002 \tx\r\n\r\n",
         0,
         {"odd.bas"}},
        {"a header without a name",
         kHead + "9d000000 <>:\r\n9d000000:\t24420001 \tx\r\n\r\n",
         1,
         {}},
        {"a .text that never ends",
         kHead + "9d000000 <open>:\r\n9d000000:\t24420001 \tx",
         0,
         {"open.bas"}},
    };
    for (const Input& input : inputs) {
        SCOPED_TRACE(input.what);
        TempDir work;
        writeBytes(work.file("in.dis"), input.listing);
        fs::create_directory(work.file("out"));
        const CliResult r = runTravonixCli({"-o", "out", "in.dis"}, work.path());
        EXPECT_EQ(r.exitCode, input.exitCode) << r.err;
        std::vector<std::string> written;
        for (const auto& entry : fs::directory_iterator(work.file("out"))) {
            written.push_back(entry.path().filename().string());
            const std::string text = readWholeFile(entry.path().string());
            EXPECT_TRUE(text.ends_with("End CFunction\r\n")) << written.back();
        }
        EXPECT_EQ(written, input.files);
        if (input.exitCode != 0) {
            EXPECT_FALSE(r.err.empty());
        }
    }
}

TEST(HostileInput, LineEndsDoNotChangeTheBlocks) {
    const std::string plain = kHead + function("add", 0x9d000000, 10);
    std::string expected;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        TempDir work;
        writeBytes(work.file("in.dis"), withLineEnds(plain, end));
        const CliResult r = runTravonixCli({"-o", ".", "in.dis"}, work.path());
        ASSERT_EQ(r.exitCode, 0) << r.err;
        std::string text = readWholeFile(work.file("add.bas"));
        text = text.substr(text.find("\r\n\r\n")); // the path line differs
        if (expected.empty())
            expected = text;
        EXPECT_EQ(text, expected) << "line ends " << (end[0] == '\r' ? "CR..." : "LF");
    }
}

TEST(HostileInput, AHundredThousandFunctionsMergeIntoOneBlock) {
    TempDir work;
    writeBytes(work.file("in.dis"), manyFunctions(100000));
    const CliResult r =
        runTravonixCli({"-m", "merge", "-n", "All", "-o", ".", "in.dis"}, work.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("781.25 KB"), std::string::npos) << r.out; // 200,000 words
}

TEST(OutputFailure, AFolderThatIsMissingOrAFileIsReportedWithExitOne) {
    TempDir work;
    writeBytes(work.file("in.dis"), kHead + function("add", 0x9d000000, 3));
    writeBytes(work.file("plain-file"), "not a folder");
    struct Case {
        const char* folder;
        const char* reason;
    };
    for (const Case& c :
         {Case{"missing", "No such file or directory"}, Case{"plain-file", "Not a directory"}}) {
        const CliResult r = runTravonixCli({"-o", c.folder, "in.dis"}, work.path());
        EXPECT_EQ(r.exitCode, 1) << c.folder;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("written to disk"), std::string::npos) << r.out;
    }
    EXPECT_EQ(readWholeFile(work.file("plain-file")), "not a folder");
}

TEST(OutputFailure, AReadOnlyBasFileIsReplacedWhole) {
    TempDir work;
    writeBytes(work.file("in.dis"), kHead + function("add", 0x9d000000, 3));
    writeBytes(work.file("add.bas"), "old");
    fs::permissions(work.file("add.bas"), fs::perms::owner_read | fs::perms::group_read);
    const CliResult r = runTravonixCli({"-o", ".", "in.dis"}, work.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readWholeFile(work.file("add.bas")).ends_with("End CFunction\r\n"));
}

} // namespace
} // namespace travonix::test
