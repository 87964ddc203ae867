#include "check/Finding.h"

namespace travonix::check {

std::string_view findingKindName(FindingKind kind) {
    switch (kind) {
    case FindingKind::AbsoluteAddress:
        return "absolute-address";
    case FindingKind::UnemittedSection:
        return "unemitted-section";
    case FindingKind::GpRelative:
        return "gp-relative";
    case FindingKind::OutsideCall:
        return "outside-call";
    case FindingKind::OutOfReach:
        return "out-of-reach";
    case FindingKind::IndirectJump:
        return "indirect-jump";
    case FindingKind::NameClash:
        return "name-clash";
    case FindingKind::BadName:
        return "bad-name";
    }
    return "unknown";
}

std::string Finding::sentence() const {
    std::string text;
    text.reserve(sentenceSize());
    text += detail;
    text += advice;
    return text;
}

} // namespace travonix::check
