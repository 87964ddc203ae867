#pragma once

#include "app/Orchestrator.h"

#include <cstdint>
#include <string>

namespace travonix::bench {

// The scale input: a generated program of many functions built by the cross
// toolchain, and its objdump -D -z listing, in the build folder.
struct ScaleInput {
    std::string elf;
    std::string listing;
    std::uintmax_t listingBytes = 0;
    std::string error; // why the input could not be made; empty when it was
};

// The input of `functions` functions, made by bench/scale/make-scale-input.sh
// on first use in this process (a listing already there is kept).
const ScaleInput& scaleInput(int functions);

// A fresh folder for a benchmark's output, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline constexpr const char* kMergedName = "ScaleMerged";
inline constexpr const char* kObjdumpCommand = "mipsel-linux-gnu-objdump -D -z";

// The options of a run over every function of `listing` (main left out, as
// by default), writing to `folder`: every block merged into one CFunction.
void setUpMergeRun(Orchestrator& run, const std::string& listing, const std::string& folder);
// The same, one .bas file per function.
void setUpIndividualRun(Orchestrator& run, const std::string& listing, const std::string& folder);

// What a read and merge run leaves to check that it did the whole work: the
// merged file's size, 0 when it is missing.
std::uintmax_t mergedFileBytes(const std::string& folder);

} // namespace travonix::bench
