#pragma once

#include "core/Failure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Replaces the file at `path` whole: the bytes go to a new temporary file in
// the same folder, which is renamed over `path` only when every byte was
// written and the file closed without error. On any failure the old file
// stays as it was, the temporary file is removed, and the system's reason
// ("No space left on device") is returned; nothing on success. Files are not forced
// to disk one by one: a crash leaves the old file or the new one, never half.
// An existing file keeps its permissions. The path is taken as bytes.
// A run killed while writing cannot remove its temporary file; the first file
// a later process writes into that folder removes such leftovers: files of
// the temporary name (see TemporaryName.h) that no live writer holds, locked
// on POSIX, open on Windows.
[[nodiscard]] Outcome replaceFileWhole(const std::string& path, std::string_view bytes);
// The same for a file given in pieces, written one after the other.
[[nodiscard]] Outcome replaceFileWhole(const std::string& path,
                                       const std::vector<std::string>& parts);

// Why the file at `path` may not be replaced or opened for comparison: it is
// a device node, a FIFO, a socket or a folder (a link is looked at itself,
// not followed: renaming over a link replaces only the link). Nothing for a
// regular file, a link, or nothing there.
[[nodiscard]] Outcome notReplaceable(const std::string& path);

// A new, empty temporary file beside `target` (in its folder, named as
// newTemporaryName() names files), created exclusively: never through a link
// planted under the name, never another run's file. It is held from its
// creation until this object goes, so that no other run tidying the folder
// takes it for a killed run's leftover. Another program may open and write
// it meanwhile (the disassembler's output is redirected into it).
class HeldTemporaryFile {
  public:
    explicit HeldTemporaryFile(const std::string& target);
    ~HeldTemporaryFile();
    HeldTemporaryFile(const HeldTemporaryFile&) = delete;
    HeldTemporaryFile& operator=(const HeldTemporaryFile&) = delete;

    [[nodiscard]] bool created() const { return !failure_; }
    // Why it could not be created (the system's reason); nothing when it was.
    [[nodiscard]] const Outcome& failure() const { return failure_; }
    [[nodiscard]] const std::string& path() const { return path_; }

  private:
    std::string path_;
    Outcome failure_;
    std::intptr_t handle_ = -1; // a descriptor, or a HANDLE on Windows
};

} // namespace travonix
