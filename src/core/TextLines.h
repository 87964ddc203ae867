#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Lines of text kept in one buffer with their end offsets: the generated
// source of a large run has hundreds of thousands of short lines, which as
// strings of their own would take several times the memory.
class TextLines {
  public:
    TextLines() = default;
    TextLines(std::initializer_list<std::string_view> lines);

    [[nodiscard]] std::size_t size() const { return ends_.size(); }
    [[nodiscard]] bool empty() const { return ends_.empty(); }
    [[nodiscard]] std::string_view operator[](std::size_t i) const;
    void push_back(std::string_view line);
    void emplace_back() { push_back({}); }
    // Only the last line can grow.
    void appendToLast(std::string_view text);
    // Room for this many characters and lines, so a large text is not moved
    // as it grows.
    void reserve(std::size_t characters, std::size_t lines);
    void clear();

    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const TextLines* lines, std::size_t at) : lines_(lines), at_(at) {}
        std::string_view operator*() const { return (*lines_)[at_]; }
        std::string_view operator[](difference_type n) const {
            return (*lines_)[at_ + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++() { return ++at_, *this; }
        const_iterator operator++(int) { return {lines_, at_++}; }
        const_iterator& operator--() { return --at_, *this; }
        const_iterator operator--(int) { return {lines_, at_--}; }
        const_iterator& operator+=(difference_type n) {
            at_ = static_cast<std::size_t>(static_cast<difference_type>(at_) + n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.at_ <=> b.at_;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }

      private:
        const TextLines* lines_ = nullptr;
        std::size_t at_ = 0;
    };
    [[nodiscard]] const_iterator begin() const { return {this, 0}; }
    [[nodiscard]] const_iterator end() const { return {this, size()}; }

    friend bool operator==(const TextLines& a, const TextLines& b) {
        return a.text_ == b.text_ && a.ends_ == b.ends_;
    }
    friend bool operator==(const TextLines& lines, const std::vector<std::string>& strings);

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_; // where each line ends in text_
};

} // namespace travonix
