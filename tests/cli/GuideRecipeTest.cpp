// The user guide's way from a C file to CFunctions with Debian's cross gcc,
// run as it is written there: its compile command on a C file with two
// functions, one calling the other, then each of its travonix-cli commands,
// and the check naming the call that leaves its block.

#include "CliProcess.h"
#include "platform/ProgramSearch.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace travonix::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTwoFunctions = R"(unsigned int int_sqrt(unsigned int n)
{
    unsigned int root = 0;
    unsigned int bit = 1u << 30;

    while (bit > n)
        bit >>= 2;
    while (bit != 0) {
        if (n >= root + bit) {
            n -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return root;
}

int distance(int dx, int dy)
{
    return (int)int_sqrt((unsigned int)(dx * dx + dy * dy));
}
)";

// The section's lines, from its heading up to the next one.
std::vector<std::string> sectionLines(const std::string& heading) {
    std::istringstream guide(readWholeFile(
        (fs::path(examplePath("pic32.ld")).parent_path().parent_path() / "docs" / "user-guide.md")
            .string()));
    std::vector<std::string> lines;
    bool inside = false;
    for (std::string line; std::getline(guide, line);) {
        if (line.starts_with("## "))
            inside = line == "## " + heading;
        else if (inside)
            lines.push_back(line);
    }
    return lines;
}

// The commands of the section that start with `program`, continuation lines
// joined, comments left out.
std::vector<std::string> commandsOf(const std::vector<std::string>& lines,
                                    const std::string& program) {
    std::vector<std::string> commands;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with(program + " "))
            continue;
        std::string command = lines[i];
        while (command.ends_with("\\") && i + 1 < lines.size())
            command = command.substr(0, command.size() - 1) + lines[++i];
        if (const std::size_t comment = command.find(" #"); comment != std::string::npos)
            command.resize(comment);
        commands.push_back(command);
    }
    return commands;
}

std::vector<std::string> words(const std::string& command) {
    std::istringstream in(command);
    std::vector<std::string> all;
    for (std::string word; in >> word;)
        all.push_back(word);
    return all;
}

std::vector<std::string> basFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".bas")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(GuideRecipe, BuildsTwoFunctionsWithDebiansCrossGccAndConvertsThemInEveryMode) {
    if (!findProgramOnPath("mipsel-linux-gnu-gcc"))
        GTEST_SKIP() << "mipsel-linux-gnu-gcc is not installed (gcc-mipsel-linux-gnu)";
    const std::vector<std::string> section = sectionLines("Building with Debian's cross gcc");
    ASSERT_FALSE(section.empty());

    const std::vector<std::string> compile = commandsOf(section, "mipsel-linux-gnu-gcc");
    ASSERT_EQ(compile.size(), 1u);
    for (const char* option :
         {"-march=mips32r2", "-EL", "-G0", "-ffreestanding", "-fno-builtin", "-nostdlib", "-no-pie",
          "-fno-pic", "-mno-abicalls", "-T pic32.ld", "-o prog.elf prog.c"})
        EXPECT_NE(compile[0].find(option), std::string::npos) << option;

    TempDir work;
    fs::copy_file(examplePath("pic32.ld"), work.file("pic32.ld"));
    std::ofstream(work.file("prog.c")) << kTwoFunctions;
    const std::string run = "cd '" + work.path() + "' && " + compile[0] + " 2>gcc.err";
    ASSERT_EQ(std::system(run.c_str()), 0) << readWholeFile(work.file("gcc.err"));
    // The one warning, which the guide explains: the file has no main.
    const std::string warnings = readWholeFile(work.file("gcc.err"));
    EXPECT_NE(warnings.find("warning: cannot find entry symbol main"), std::string::npos)
        << warnings;
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 1) << warnings;

    const std::vector<std::string> converts = commandsOf(section, "travonix-cli");
    ASSERT_EQ(converts.size(), 3u);
    const std::vector<std::vector<std::string>> written = {
        {"distance.bas", "int_sqrt.bas"}, {"int_sqrt.bas"}, {"Prog.bas"}};
    for (std::size_t k = 0; k < converts.size(); ++k) {
        SCOPED_TRACE(converts[k]);
        TempDir out;
        std::vector<std::string> args = words(converts[k]);
        args.erase(args.begin());
        args.back() = work.file("prog.elf");
        std::vector<std::string> converting = args;
        converting.insert(converting.end() - 1, {"-o", out.path()});
        const CliResult made = runTravonixCli(converting, work.path());
        EXPECT_EQ(made.exitCode, 0) << made.err;
        EXPECT_EQ(basFiles(out.path()), written[k]);

        args.insert(args.begin(), "--check");
        const CliResult checked = runTravonixCli(args, work.path());
        // One block per function: distance's call to int_sqrt leaves its
        // block; merged, the two travel together.
        const bool merged = k == 2;
        EXPECT_EQ(checked.exitCode, merged ? 0 : 4) << checked.err;
        EXPECT_EQ(checked.out.empty(), merged) << checked.out;
        if (!merged) {
            EXPECT_TRUE(checked.out.starts_with("distance\t9d000080\toutside-call\t"))
                << checked.out;
        }
        EXPECT_EQ(std::count(checked.out.begin(), checked.out.end(), '\n'), merged ? 0 : 1);
    }
}

// "Reading a .bas file" shows vector_length's block of the bundled example
// without the blank after each word: the tool's own block, from its
// CFunction line to its end.
TEST(GuideRecipe, TheBlockTheGuideExplainsIsTheToolsOwn) {
    const std::vector<std::string> section = sectionLines("Reading a .bas file");
    std::string shown;
    bool inBlock = false;
    for (const std::string& line : section) {
        if (line.starts_with("CFunction "))
            inBlock = true;
        if (inBlock)
            shown += line + "\n";
        if (line == "End CFunction")
            break;
    }
    ASSERT_TRUE(shown.starts_with("CFunction vectorlength\n")) << shown;

    TempDir out;
    // All of the example, as the guide converts it: the words are counted
    // over the run, so int_sqrt's 28 words come first.
    const CliResult r = runTravonixCli({"-o", out.path(), examplePath("demo.dis")}, out.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string file = readWholeFile(out.file("vector_length.bas"));
    std::string block;
    std::istringstream lines(file.substr(file.find("CFunction ")));
    for (std::string line; std::getline(lines, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        block += line + "\n";
    }
    EXPECT_EQ(block, shown);
}

} // namespace
} // namespace travonix::test
