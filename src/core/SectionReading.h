#pragma once

#include "core/ListingReader.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace travonix {

// Where one line of the file's text lies.
struct LineSpan {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
};

// The lines of the text split so far and not yet let go, numbered from the
// text's first line. A text that is still arriving grows at the end; the
// lines a reader no longer looks at are dropped at the front.
struct LineWindow {
    std::string_view text;       // the text so far: the spans are offsets into it
    std::vector<LineSpan> spans; // the lines numbered first, first + 1, ...
    std::size_t first = 0;
    bool ended = false; // no line follows the last one

    [[nodiscard]] std::size_t end() const { return first + spans.size(); }
    [[nodiscard]] std::string_view line(std::size_t number) const {
        const LineSpan& span = spans[number - first];
        return text.substr(span.start, span.length);
    }
};

// One of the two readings of readListing, taking the lines as they come.
class LineReader {
  public:
    virtual ~LineReader() = default;
    // Reads the window's lines, from the first it has not read, as far as it
    // can: a line whose reading depends on lines not yet there waits for
    // them. Returns the number of the first line it will look at again.
    virtual std::size_t readFrom(const LineWindow& window) = 0;
    // Every line is read: what the reading has to tell the user.
    virtual void finish() = 0;
};

[[nodiscard]] std::unique_ptr<LineReader> sectionReader(const ReadOptions& options,
                                                        ReadResult& out);
[[nodiscard]] std::unique_ptr<LineReader> wholeFileReader(const ReadOptions& options,
                                                          ReadResult& out);

} // namespace travonix
