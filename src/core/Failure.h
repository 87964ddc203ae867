#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace travonix {

// Why the system did not do what it was asked: its own reason, which the
// user reads after the path ("No space left on device").
struct Failure {
    std::string reason;

    friend bool operator==(const Failure&, const Failure&) = default;
};

// What an operation that gives nothing back came to: nothing when it was
// done, else its failure. `if (auto failed = writer.writeWhole(...))` reads
// as what it does.
using Outcome = std::optional<Failure>;

// A value, or the failure that left none.
template <typename T> class Result {
  public:
    Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : held_(std::in_place_index<1>, std::move(failure)) {}

    [[nodiscard]] bool ok() const { return held_.index() == 0; }
    [[nodiscard]] T& value() { return std::get<0>(held_); }
    [[nodiscard]] const T& value() const { return std::get<0>(held_); }
    [[nodiscard]] const Failure& failure() const { return std::get<1>(held_); }

  private:
    std::variant<T, Failure> held_;
};

} // namespace travonix
