#include "core/ListingFeed.h"

#include "core/Messages.h"
#include "core/SectionReading.h"
#include "core/Text.h"

#include <cassert>
#include <limits>
#include <optional>
#include <string>

namespace travonix {

namespace {

// Lines are kept as 32-bit offsets into the text; no PIC32 listing comes
// near 2 GiB, and a text that does is refused rather than misread.
constexpr std::uint64_t kLargestText = std::numeric_limits<std::uint32_t>::max() / 2;
// Lines split ahead of the reader at most: a whole text is read in batches,
// so where every line lies is never held at once.
constexpr std::size_t kBatchLines = 16384;
// objdump's lines are 30 to 40 characters: room for the records is set
// aside from the text's size.
constexpr std::size_t kBytesPerLine = 32;

std::unique_ptr<LineReader> readerFor(const ReadOptions& options, ReadResult& out) {
    return options.fullReading ? wholeFileReader(options, out) : sectionReader(options, out);
}

} // namespace

struct ListingFeed::State {
    explicit State(const ReadOptions& readOptions)
        : options(readOptions), reader(readerFor(options, result)) {}

    ReadOptions options;
    ReadResult result;
    std::unique_ptr<LineReader> reader;
    std::string arrived;              // the text as it came, when it comes in pieces
    std::optional<ListingText> whole; // or the whole text, read in place
    LineWindow window;
    std::size_t lineStart = 0;  // where the line being split starts
    std::size_t searchFrom = 0; // where the search for its end goes on
    std::uint64_t received = 0;
    bool tooLarge = false;

    [[nodiscard]] std::string_view text() const {
        return whole ? whole->view() : std::string_view(arrived);
    }
    void split(bool ended);
    void addLine(std::size_t start, std::size_t length);
    void readLines();
};

// Splits what has come since the last time into lines. A CR at the very end
// waits for the next piece: it may be the first half of a CR LF.
void ListingFeed::State::split(bool ended) {
    const std::string_view all = text();
    window.text = all;
    const char* data = all.data();
    const std::size_t n = all.size();
    for (;;) {
        const std::size_t i = nextLineEnd(data, searchFrom, n);
        if (i >= n || (data[i] == '\r' && i + 1 == n && !ended)) {
            searchFrom = i;
            break;
        }
        addLine(lineStart, i - lineStart);
        const bool crLf = data[i] == '\r' && i + 1 < n && data[i + 1] == '\n';
        lineStart = searchFrom = i + (crLf ? 2 : 1);
    }
    if (ended && lineStart < n) {
        addLine(lineStart, n - lineStart); // a last line without a line end
        lineStart = searchFrom = n;
    }
    window.ended = ended;
    readLines();
}

void ListingFeed::State::addLine(std::size_t start, std::size_t length) {
    window.spans.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    if (window.spans.size() >= kBatchLines)
        readLines();
}

void ListingFeed::State::readLines() {
    const std::size_t keep = reader->readFrom(window);
    window.spans.erase(window.spans.begin(),
                       window.spans.begin() + static_cast<std::ptrdiff_t>(keep - window.first));
    window.first = keep;
}

ListingFeed::ListingFeed(const ReadOptions& options, std::size_t expectedBytes)
    : state_(std::make_unique<State>(options)) {
    // An eighth more than the guess: a text a little longer than guessed
    // must not make the whole text move to twice the room at its very end.
    const std::size_t room =
        std::min<std::uint64_t>(expectedBytes + expectedBytes / 8, kLargestText);
    state_->arrived.reserve(room);
    state_->result.listing.reserve(room / kBytesPerLine);
}

ListingFeed::ListingFeed(ListingText whole, const ReadOptions& options)
    : state_(std::make_unique<State>(options)) {
    state_->received = whole.size();
    state_->tooLarge = whole.size() >= kLargestText;
    if (!state_->tooLarge)
        state_->result.listing.reserve(whole.size() / kBytesPerLine);
    state_->whole = std::move(whole);
}

ListingFeed::~ListingFeed() = default;

void ListingFeed::append(std::string_view bytes) {
    State& s = *state_;
    assert(!s.whole);
    s.received += bytes.size();
    if (s.tooLarge)
        return;
    if (s.received >= kLargestText) {
        // Nothing more is kept: what would be read is refused at the end.
        s.tooLarge = true;
        s.arrived = std::string();
        s.window = LineWindow{};
        return;
    }
    s.arrived.append(bytes);
    s.split(false);
}

ReadResult ListingFeed::finish() {
    State& s = *state_;
    if (s.tooLarge) {
        ReadResult refused;
        refused.diagnostics.push_back(
            error(DiagnosticCode::ListingTooLarge, listingTooLargeText()));
        return refused;
    }
    s.split(true);
    s.reader->finish();
    // The room set aside and never written (the text's, the records') is
    // never made resident: giving it back would copy tens of megabytes,
    // each page touched anew, to save nothing but addresses.
    s.result.listing.adoptText(s.whole ? std::move(*s.whole) : ListingText(std::move(s.arrived)));
    return std::move(s.result);
}

std::uint64_t ListingFeed::bytesReceived() const {
    return state_->received;
}

std::size_t ListingFeed::functionsRead() const {
    return state_->result.functions.size();
}

} // namespace travonix
