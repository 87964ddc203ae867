// Whatever a toolchain or a disk hands the tool, it ends with a defined exit
// code and a clear message, never a crash, and writes only whole files.

#include "CliProcess.h"
#include "GeneratedListing.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

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
    const std::string plain = kListingHead + listedFunction("add", 0x9d000000, 3);
    const std::string longLine = kListingHead +
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
         kListingHead + "9d000000 <n>:\r\n9d000000:\t24420001 \taddiu\tv0\0x\r\n\r\n",
         0,
         {"n.bas"}},
        {"invalid UTF-8 in operands",
         kListingHead + "9d000000 <u>:\r\n9d000000:\t24420001 \tx\t\xff\xfe\r\n",
         0,
         {"u.bas"}},
        {"a line of 1 MiB", longLine, 0, {"big.bas"}},
        {"no line end at all", "Disassembly of section .text:", 1, {}},
        {"no line end after the last line", plain.substr(0, plain.size() - 4), 0, {"add.bas"}},
        {"LF line ends", withLineEnds(plain, "\n"), 0, {"add.bas"}},
        {"CR line ends", withLineEnds(plain, "\r"), 0, {"add.bas"}},
        {"a gap marker first and last", "\t...\r\n" + plain + "\t...\r\n", 0, {"add.bas"}},
        {"a gap between far addresses",
         kListingHead + "9d000000 <far>:\r\n9d000000:\t24420001 \tx\r\n\t...\r\n"
                        "bfc00000:\t24420002 \tx\r\n\r\n",
         0,
         {"far.bas"}},
        {"addresses not hexadecimal or past 32 bits",
         kListingHead +
             "zz000000 <odd>:\r\nzz000000:\t24420001 \tx\r\n19d0000000:\t24420002 \tx\r\n\r\n",
         0,
         {"odd.bas"}},
        {"a header without a name",
         kListingHead + "9d000000 <>:\r\n9d000000:\t24420001 \tx\r\n\r\n",
         1,
         {}},
        {"a .text that never ends",
         kListingHead + "9d000000 <open>:\r\n9d000000:\t24420001 \tx",
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
    const std::string plain = kListingHead + listedFunction("add", 0x9d000000, 10);
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
    writeBytes(work.file("in.dis"), kListingHead + listedFunction("add", 0x9d000000, 3));
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

// Root writes wherever it likes, so as root the tool runs as "nobody" to meet
// a folder it may not write in. The launcher that does it (empty when not
// root), or the reason there is none.
struct Unprivileged {
    std::vector<std::string> launcher;
    std::string whyNot;
};

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

Unprivileged unprivileged(const std::string& workingDir) {
    if (::geteuid() != 0)
        return {};
    if (!onPath("setpriv"))
        return {{}, "running as root without setpriv to run the tool as another user"};
    const std::vector<std::string> setpriv = {"setpriv", "--reuid=65534", "--regid=65534",
                                              "--clear-groups"};
    const CliResult probe = runTravonixCli({"--version"}, workingDir, {}, setpriv);
    if (probe.exitCode != 0)
        return {{}, "running as root, and setpriv cannot run the tool as uid 65534: " + probe.err};
    return {setpriv, ""};
}

TEST(OutputFailure, AFolderThatCannotBeWrittenIsReportedAndKeepsWhatItHeld) {
    TempDir work;
    // Open to the user the tool may run as.
    fs::permissions(work.path(), fs::perms(0755));
    writeBytes(work.file("in.dis"), kListingHead + listedFunction("add", 0x9d000000, 3) +
                                        listedFunction("sub", 0x9d00000c, 3));
    fs::permissions(work.file("in.dis"), fs::perms(0644));
    const Unprivileged as = unprivileged(work.path());
    if (!as.whyNot.empty())
        GTEST_SKIP() << as.whyNot;
    fs::create_directory(work.file("locked"));
    writeBytes(work.file("locked/add.bas"), "an earlier build");
    fs::permissions(work.file("locked"), fs::perms(0555));

    struct Case {
        std::vector<std::string> mode;
        std::vector<std::string> files; // each reported
    };
    const Case cases[] = {
        {{"-m", "individual"}, {"locked/add.bas", "locked/sub.bas"}},
        {{"-m", "single"}, {"locked/add.bas"}},
        {{"-m", "merge", "-n", "Both"}, {"locked/Both.bas"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode[1]);
        std::vector<std::string> arguments = c.mode;
        arguments.insert(arguments.end(), {"-o", "locked", "in.dis"});
        const CliResult r = runTravonixCli(arguments, work.path(), {}, as.launcher);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        for (const std::string& file : c.files)
            EXPECT_NE(r.err.find("Cannot write " + file + ": Permission denied"), std::string::npos)
                << r.err;
        EXPECT_EQ(r.out.find("written to disk"), std::string::npos) << r.out;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(work.file("locked")))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"add.bas"}) << "nothing new, no temporary file";
        EXPECT_EQ(readWholeFile(work.file("locked/add.bas")), "an earlier build");
    }
    fs::permissions(work.file("locked"), fs::perms(0755)); // so that it can be removed
}

TEST(OutputFailure, AReadOnlyBasFileIsReplacedWhole) {
    TempDir work;
    writeBytes(work.file("in.dis"), kListingHead + listedFunction("add", 0x9d000000, 3));
    writeBytes(work.file("add.bas"), "old");
    fs::permissions(work.file("add.bas"), fs::perms::owner_read | fs::perms::group_read);
    const CliResult r = runTravonixCli({"-o", ".", "in.dis"}, work.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(readWholeFile(work.file("add.bas")).ends_with("End CFunction\r\n"));
}

} // namespace
} // namespace travonix::test
