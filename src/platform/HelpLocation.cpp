#include "platform/HelpLocation.h"

#include "platform/HelpCommandLine.h"

#include <filesystem>
#include <system_error>

// The installed documentation folder as seen from the program's folder; the
// build gives it from the install rules.
#ifndef TRAVONIX_INSTALLED_DOC_FOLDER
#define TRAVONIX_INSTALLED_DOC_FOLDER "../share/doc/travonix"
#endif

namespace travonix {

namespace {

std::string joined(const std::string& folder, const std::string& relative) {
    std::filesystem::path path =
        (std::filesystem::path(folder) / std::filesystem::path(relative)).lexically_normal();
    return path.make_preferred().string();
}

} // namespace

std::vector<std::string> helpDocumentPlaces(const std::string& programFolder) {
    std::vector<std::string> places{joined(programFolder, kHelpDocumentName)};
#ifndef _WIN32
    places.push_back(joined(programFolder,
                            std::string(TRAVONIX_INSTALLED_DOC_FOLDER) + "/" + kHelpDocumentName));
#endif
    return places;
}

std::optional<std::string> findHelpDocument(const std::string& programFolder) {
    for (const std::string& place : helpDocumentPlaces(programFolder)) {
        std::error_code error;
        if (std::filesystem::is_regular_file(place, error))
            return place;
    }
    return std::nullopt;
}

} // namespace travonix
