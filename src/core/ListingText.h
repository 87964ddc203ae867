#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace travonix {

// The bytes a listing is read from: either text it owns, or bytes someone
// else keeps in place, such as a file the platform layer mapped read-only,
// so a listing of tens of megabytes is never copied into memory of its own.
// Whatever keeps the bytes in place is held by a shared owner: copies of a
// listing share the one text, which nobody changes once read.
class ListingText {
  public:
    // What keeps viewed bytes in place (a mapping, a buffer) while any
    // listing still holds them; the bytes go when the last holder does.
    class Holder {
      public:
        virtual ~Holder() = default;
        // Nobody reads bytes [offset, offset + length) for a while. A holder
        // that can have them back on the next read (a mapped file's pages
        // come back from the file) may let them go; the bytes stay the same.
        virtual void doneWith(std::size_t offset, std::size_t length) const {
            (void)offset;
            (void)length;
        }
    };

    ListingText() = default;
    explicit ListingText(std::string owned)
        : ListingText(std::make_shared<const std::string>(std::move(owned))) {}
    // Bytes that `holder` keeps in place for as long as it lives.
    ListingText(std::string_view bytes, std::shared_ptr<const Holder> holder)
        : bytes_(bytes), advised_(holder.get()), holder_(std::move(holder)) {}

    [[nodiscard]] std::string_view view() const { return bytes_; }
    [[nodiscard]] std::size_t size() const { return bytes_.size(); }
    // Tells the holder that a range of the bytes is done with for now; text
    // the listing owns stays as it is.
    void doneWith(std::size_t offset, std::size_t length) const {
        if (advised_ != nullptr && offset < bytes_.size())
            advised_->doneWith(offset, std::min(length, bytes_.size() - offset));
    }

  private:
    explicit ListingText(std::shared_ptr<const std::string> owned)
        : bytes_(*owned), holder_(std::move(owned)) {}

    std::string_view bytes_;
    const Holder* advised_ = nullptr; // the holder below, when it is one
    std::shared_ptr<const void> holder_;
};

} // namespace travonix
