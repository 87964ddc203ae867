#pragma once

#include "core/Environment.h"

namespace travonix {

// The real files, clock and user. Paths are the platform's 8-bit file names,
// taken as bytes on POSIX (a name that is not UTF-8 is still found).
class LocalEnvironment : public Environment {
  public:
    bool fileExists(const std::string& path) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset,
                                            std::size_t length) override;
    // Mapped read-only (see MappedFile.h); read as bytes when it cannot be.
    std::optional<ListingText> readListingText(const std::string& path) override;
    // Replaced whole: a temporary file in the same folder, then a rename.
    Outcome writeWhole(const std::string& path, std::string_view bytes) override;
    Outcome writeWhole(const std::string& path, const std::vector<std::string>& parts) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    Result<std::unique_ptr<HeldFile>> createFileBeside(const std::string& path) override;
    Outcome notReplaceable(const std::string& path) override;
    // "yyyy-MM-dd HH:mm:ss" in local time.
    std::optional<std::string> fileModifiedText(const std::string& path) override;
    // Local time; when SOURCE_DATE_EPOCH holds a valid number of seconds, that
    // moment in UTC instead, so generated stamps can be reproduced.
    LocalDateTime now() override;
    // USERNAME, else USER, else "".
    std::string userName() override;
    std::string pathSeparator() override;
};

} // namespace travonix
