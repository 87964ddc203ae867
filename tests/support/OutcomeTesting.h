#pragma once

#include "core/Failure.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace travonix {

// A failure as a test's message shows it: its reason.
inline void PrintTo(const Failure& failure, std::ostream* out) {
    *out << "Failure{\"" << failure.reason << "\"}";
}

namespace test {

// The reason of an operation the test expects to fail; the test fails when
// it was done.
inline std::string failureReason(const Outcome& outcome) {
    EXPECT_TRUE(outcome.has_value()) << "done, where a failure was expected";
    return outcome ? outcome->reason : std::string();
}

} // namespace test
} // namespace travonix
