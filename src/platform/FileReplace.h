#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Replaces the file at `path` whole: the bytes go to a new temporary file in
// the same folder, which is renamed over `path` only when every byte was
// written and the file closed without error. On any failure the old file
// stays as it was, the temporary file is removed, and the system's reason
// ("No space left on device") is returned; "" on success. Files are not forced
// to disk one by one: a crash leaves the old file or the new one, never half.
// An existing file keeps its permissions. The path is taken as bytes.
// A run killed while writing cannot remove its temporary file; the first file
// a later process writes into that folder removes such leftovers: files of
// the temporary name (see TemporaryName.h) that no live writer holds, locked
// on POSIX, open on Windows.
[[nodiscard]] std::string replaceFileWhole(const std::string& path, std::string_view bytes);
// The same for a file given in pieces, written one after the other.
[[nodiscard]] std::string replaceFileWhole(const std::string& path,
                                           const std::vector<std::string>& parts);

} // namespace travonix
