#pragma once

#include "core/Clock.h"
#include "core/FileWriter.h"
#include "core/ListingText.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace travonix {

// The files, clock and user that the steps are handed. The platform layer
// implements it; tests use the real one on a temporary folder or a fake.
class Environment : public FileWriter {
  public:
    // Whether an ordinary file of that name exists.
    virtual bool fileExists(const std::string& path) = 0;
    // The whole file as bytes, or std::nullopt when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Up to `length` bytes of the file from `offset`: fewer at its end,
    // std::nullopt when it cannot be read.
    virtual std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset,
                                                    std::size_t length) {
        std::optional<std::string> bytes = readFile(path);
        if (!bytes)
            return std::nullopt;
        return offset < bytes->size() ? bytes->substr(offset, length) : std::string();
    }
    // The same for a listing, which is only read: an environment that can
    // map the file read-only hands out the mapping instead of a copy.
    virtual std::optional<ListingText> readListingText(const std::string& path) {
        std::optional<std::string> bytes = readFile(path);
        if (!bytes)
            return std::nullopt;
        return ListingText(std::move(*bytes));
    }
    // The file's modification time as text, stable while the time is
    // unchanged; std::nullopt when the file is missing or unreadable.
    virtual std::optional<std::string> fileModifiedText(const std::string& path) = 0;
    // Replaces `to` with `from` (a file written beside it); nothing when
    // done, else the system's reason.
    virtual Outcome replaceFile(const std::string& from, const std::string& to) = 0;
    virtual void removeFile(const std::string& path) = 0;

    // A new, empty file beside `path` (in its folder) for one run's output,
    // made exclusively: never through a link planted under its name, never
    // another run's file. It is held (no other run tidying the folder takes
    // it for a leftover) while the returned object lives; its path is the
    // object's. The system's reason when it could not be made.
    class HeldFile {
      public:
        virtual ~HeldFile() = default;
        [[nodiscard]] virtual const std::string& path() const = 0;
    };
    virtual Result<std::unique_ptr<HeldFile>> createFileBeside(const std::string& path) = 0;
    // Why the file at `path` may not be replaced: a device node, a FIFO or a
    // socket is there (a link is not followed to decide). Nothing otherwise.
    virtual Outcome notReplaceable(const std::string& path) = 0;

    virtual LocalDateTime now() = 0;
    // The user name for the comment stamp.
    virtual std::string userName() = 0;
    // "\\" on Windows, "/" elsewhere: joins the output folder and a file name.
    virtual std::string pathSeparator() = 0;
};

} // namespace travonix
