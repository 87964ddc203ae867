#include "ScaleRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace travonix::bench {

namespace {

namespace fs = std::filesystem;

std::string lastLineOf(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::string last;
    while (std::getline(in, line))
        if (!line.empty())
            last = line;
    return last;
}

ScaleInput makeScaleInput(int functions) {
    ScaleInput input;
    const fs::path folder = TRAVONIX_SCALE_DIR;
    const std::string name = "scale-" + std::to_string(functions);
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path log = folder / (name + ".log");
    // The script is quick when the listing is already there.
    const std::string command = "bash '" + std::string(TRAVONIX_SCALE_SCRIPT) + "' " +
                                std::to_string(functions) + " '" + folder.string() + "' >'" +
                                log.string() + "' 2>&1";
    if (std::system(command.c_str()) != 0) {
        input.error = "scale input of " + std::to_string(functions) +
                      " functions not made: " + lastLineOf(log);
        return input;
    }
    input.elf = (folder / (name + ".elf")).string();
    input.listing = (folder / (name + ".dis")).string();
    input.listingBytes = fs::file_size(input.listing, ec);
    if (ec)
        input.error = "scale listing " + input.listing + " unreadable: " + ec.message();
    return input;
}

void setUpRun(Orchestrator& run, const std::string& listing, const std::string& folder) {
    Options& options = run.editOptions();
    options = defaultOptions();
    options.listingPath = listing;
    options.conversion.outputFolder = folder;
    options.conversion.selectAll = true;
}

} // namespace

const ScaleInput& scaleInput(int functions) {
    static std::map<int, ScaleInput> made;
    auto found = made.find(functions);
    if (found == made.end())
        found = made.emplace(functions, makeScaleInput(functions)).first;
    return found->second;
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "travonix-scale-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void setUpMergeRun(Orchestrator& run, const std::string& listing, const std::string& folder) {
    setUpRun(run, listing, folder);
    run.editOptions().conversion.mode = OutputMode::Merged;
    run.editOptions().conversion.mergedName = kMergedName;
}

void setUpIndividualRun(Orchestrator& run, const std::string& listing, const std::string& folder) {
    setUpRun(run, listing, folder);
    run.editOptions().conversion.mode = OutputMode::IndividualFiles;
}

std::uintmax_t mergedFileBytes(const std::string& folder) {
    std::error_code ec;
    const std::uintmax_t bytes =
        fs::file_size(fs::path(folder) / (std::string(kMergedName) + ".bas"), ec);
    return ec ? 0 : bytes;
}

} // namespace travonix::bench
