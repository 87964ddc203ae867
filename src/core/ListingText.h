#pragma once

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
    };

    ListingText() = default;
    explicit ListingText(std::string owned)
        : ListingText(std::make_shared<const std::string>(std::move(owned))) {}
    // Bytes that `holder` keeps in place for as long as it lives.
    ListingText(std::string_view bytes, std::shared_ptr<const Holder> holder)
        : bytes_(bytes), holder_(std::move(holder)) {}

    [[nodiscard]] std::string_view view() const { return bytes_; }
    [[nodiscard]] std::size_t size() const { return bytes_.size(); }

  private:
    explicit ListingText(std::shared_ptr<const std::string> owned)
        : bytes_(*owned), holder_(std::move(owned)) {}

    std::string_view bytes_;
    std::shared_ptr<const void> holder_;
};

} // namespace travonix
