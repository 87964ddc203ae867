#pragma once

namespace travonix {

// The product's own names and version, as they appear in captions, stamps and
// message titles.
inline constexpr const char* kProductName = "Travonix";
inline constexpr const char* kCompanyName = "Tavik";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 21;
inline constexpr const char* kVersionText = "1.0.21";

} // namespace travonix
