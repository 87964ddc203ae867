#include "core/Paths.h"

namespace travonix {

namespace {
std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}
} // namespace

std::string fileNamePart(const std::string& path) {
    const std::size_t cut = lastSeparator(path);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folderPart(const std::string& path) {
    const std::size_t cut = lastSeparator(path);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string listingPathFor(const std::string& elfPath) {
    const std::size_t dot = elfPath.find_last_of('.');
    const std::size_t cut = lastSeparator(elfPath);
    if (dot == std::string::npos || (cut != std::string::npos && dot < cut))
        return elfPath + ".dis";
    return elfPath.substr(0, dot) + ".dis";
}

} // namespace travonix
